#pragma once
// Posting, retrieval and list loading share the data module's one news client and let window
// events run between their steps, where a second run could be started. A run
// holds this lock for its duration; a run that cannot take it does nothing.

class NewsAccess;
class Tdm;

class ExchangeRunLock
{
public:
    explicit ExchangeRunLock(Tdm &dm);
    ~ExchangeRunLock();
    ExchangeRunLock(const ExchangeRunLock &) = delete;
    ExchangeRunLock &operator=(const ExchangeRunLock &) = delete;

    // False when another run held the lock already.
    bool acquired() const { return m_acquired; }

    // Whether a run is in progress on this data module (for enabling actions).
    static bool isHeld(const Tdm &dm);

private:
    NewsAccess &m_access;
    bool m_acquired = false;
};
