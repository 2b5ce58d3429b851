#pragma once
// The wait notice (Tf_Waiting) around a long list: shown, not modal, with
// its bar at 0 of Max; moved while the list is built; at the end its bar is
// full and it is closed. Nothing happens without the notice window.
class TWaitNotice {
public:
    explicit TWaitNotice(int Max);
    ~TWaitNotice();
    TWaitNotice(const TWaitNotice&) = delete;
    TWaitNotice& operator=(const TWaitNotice&) = delete;
    // The bar at Position, then pending messages run.
    void SetPosition(int Position);
    // The bar one further.
    void Step();
};
