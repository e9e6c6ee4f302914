// Numbers in the size read-out: a 32-bit float with at most 7 significant digits.
#include "form/FloatText.h"

#include <QLocale>
#include <QtTest>

class TestFloatText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void text_data();
    void text();
};

void TestFloatText::text_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("integer") << 320.0f << "320";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("negative zero") << -0.0f << "0";
    QTest::newRow("negative") << -20.0f << "-20";
    QTest::newRow("half") << 0.5f << "0.5";
    QTest::newRow("no trailing zeros") << 2.25f << "2.25";
    QTest::newRow("seven digits") << 97.33334f << "97.33334";
    QTest::newRow("rounded to seven") << float(100.0 - 4.0 / 1.5) << "97.33334";
    QTest::newRow("third") << 1.0f / 3 << "0.3333333";
    QTest::newRow("seven-digit integer") << 1234567.0f << "1234567";
    QTest::newRow("eight digits") << 12345678.0f << "1.234568E+07";
    QTest::newRow("ten million") << 1.0e7f << "1E+07";
    QTest::newRow("small") << 0.0001f << "0.0001";
    QTest::newRow("smaller") << 0.00001f << "1E-05";
    QTest::newRow("screen width") << 3840.0f << "3840";
}

void TestFloatText::text() {
    QFETCH(float, value);
    QTEST(floatText(value), "expected");
}

QTEST_MAIN(TestFloatText)
#include "tst_floattext.moc"
