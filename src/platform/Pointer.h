#pragma once
// Mouse pointer of a window, and the one call that lets pending window events
// run (repaint) before a long operation.

namespace mutaplot {

enum class PointerShape { Default, Arrow, Busy, Cross };

class Pointer {
public:
    virtual ~Pointer() = default;
    virtual void SetPointer(PointerShape shape) = 0;
    // Handles the window events waiting at this moment, then returns.
    virtual void ProcessPendingEvents() = 0;
};

// Shows the busy pointer for a scope and restores the default on every exit.
class BusyPointer {
public:
    explicit BusyPointer(Pointer& pointer) : pointer_(pointer) {
        pointer_.SetPointer(PointerShape::Busy);
    }
    ~BusyPointer() { pointer_.SetPointer(PointerShape::Default); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Pointer& pointer_;
};

}  // namespace mutaplot
