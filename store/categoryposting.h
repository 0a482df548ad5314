#pragma once
// The posting mode of each expert category (table CategoryPosting): one
// cross-post per server, or one copy per newsgroup. A category without a row
// posts one copy per newsgroup; so does every category of a store without the
// table, where nothing is written either.

#include "store/sqlcommand.h"

class StoreConnection;

class CategoryPosting
{
public:
    explicit CategoryPosting(StoreConnection &connection);

    // Whether the store keeps posting modes at all.
    bool available() const { return m_available; }
    bool crossPost(int category);
    void setCrossPost(int category, bool crossPost);
    // A removed category's mode goes with it.
    void forget(int category);

private:
    bool m_available;
    SqlCommand m_read;
    SqlCommand m_write;
    SqlCommand m_delete;
};
