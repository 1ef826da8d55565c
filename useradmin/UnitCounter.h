#pragma once

// The guard of a unit's start-up and shut-down: the start-up work runs on the
// first start-up call, the shut-down work on the shut-down call that balances
// it; every other call only counts. A shut-down without a start-up does
// nothing.

class UnitCounter {
public:
    template <class Work> void startup(Work &&work)
    {
        if (count_++ == 0)
            work();
    }

    template <class Work> void shutdown(Work &&work)
    {
        if (count_ > 0 && --count_ == 0)
            work();
    }

private:
    int count_ = 0;
};
