#pragma once
#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <functional>
#include <vector>

class QPainter;

// Call paint for each rectangle of region, all under p. Clipped to many rectangles, Qt cuts
// any copy or fill taller than a few dozen rows into row spans handed to worker threads,
// and the hand-offs cost more than the work; a tall rectangle therefore gets a clip of its
// own. Short ones share the painter's clip, since setting a clip costs a pass over it.
void paintEachRect(QPainter& p, const QRegion& region,
                   const std::function<void(const QRect&)>& paint);

// The capture window's two drawing layers. With persistent drawing on, drawing goes into
// Image, which survives repaints; with it off, drawing is transient and shown on top of
// Image until the next Cls. Cls also takes back everything drawn into Image since Picture
// was last set, so Image shows Picture again.
//
// Picture is not a second full-screen buffer: Image keeps the pixels, and the pixels of
// Picture under everything drawn since it was set are kept aside (the backup). Setting
// Picture to a whole picture shares its pixels (no copy). Every change reports the
// rectangle it touched through changed(), so that only those pixels are repainted.
class Canvas : public QObject {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&)>;

    // The persistent image: what the window shows under any transient drawing.
    const QImage& Image() const { return image_; }
    // The background picture: Image without what was drawn since the picture was set.
    QImage Picture() const;
    // Picture = pic; Image shows it (shares its pixels).
    void setPicture(const QImage& pic);
    // Picture = a copy of Image: what was drawn becomes part of the picture.
    void commitImage();

    bool autoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool on) { autoRedraw_ = on; }

    // Remove transient drawing and everything drawn into Image since Picture was set.
    void Cls();

    // Draw with paint, which touches no pixel outside bounds (window pixels): into Image
    // with persistent drawing on, transient otherwise.
    void draw(const QRect& bounds, Painter paint);
    // The same for a shape whose pixels all lie inside area: an outline reports only the
    // strips it covers, so that a preview move repaints those and not its whole box.
    void draw(const QRegion& area, Painter paint);
    // Copy src into Image at its top-left corner pos (persistent drawing).
    void blit(const QPoint& pos, const QImage& src);

    // The pixels shown inside rect without a copy: a picture that keeps Image's pixels as
    // they are now (drawing into Image afterwards copies them first). Null when rect is not
    // inside the picture or transient drawing shows there.
    QImage shared(const QRect& rect) const;

    // The pixel at (x, y) as shown (Image, and transient drawing while persistence is off),
    // as 0x00BBGGRR; -1 outside the picture.
    int32_t pixel(int x, int y) const;

    // The rectangle drawn into Image since Picture was set, and Picture's pixels there.
    QRect backupRect() const { return backupRect_; }
    const QImage& backupPixels() const { return backup_; }

    // Paint what the window shows of its drawing layers inside rect.
    void paint(QPainter& p, const QRect& rect) const;
    // The same for a region: the image under each of its rectangles, then each transient
    // drawing once, clipped to the region.
    void paint(QPainter& p, const QRegion& region) const;

Q_SIGNALS:
    void changed(const QRect& rect);

private:
    void keepPictureUnder(const QRect& rect);
    // Emit changed() for each rectangle of area.
    void report(const QRegion& area);
    QRect bounded(const QRect& r) const { return r & image_.rect(); }

    QImage image_;
    QRect backupRect_;
    QImage backup_;
    bool autoRedraw_ = true;
    struct Transient {
        QRegion area;
        Painter paint;
    };
    std::vector<Transient> transient_;
};
