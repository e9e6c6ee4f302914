#pragma once

// Ending the whole program at once (after the single-instance message, or on exit).
class Program {
public:
    virtual ~Program() = default;
    virtual void end() = 0;
};

class QtProgram final : public Program {
public:
    void end() override;
};
