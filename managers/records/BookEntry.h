#pragma once

#include <string>

// One row of a per-console list (call book, transfer, monitor, sound-source or region list).
class BookEntry
{
public:
    int terminalId = 0;
    // The item's id when the row's is a number within int (hasItemId), else 0.
    int itemId = 0;
    bool hasItemId = false;
    // The item's id as the row wrote it: one that is no such number (a word,
    // empty, beyond int) names no item the console can write back.
    std::string itemIdText;
    int orderId = 0;
    int itemType = 0;
    // The type as the row wrote it: a family's number ("8") or, from a server
    // that keeps the word the book text named it by, that word ("D82"), which
    // itemType reads as 0. Empty when the row has no type.
    std::string itemTypeText;

    // What the item is in each book.
    int contactId() const { return itemId; }
    int contactType() const { return itemType; }
    int transferId() const { return itemId; }
    int transferType() const { return itemType; }
    int monitorId() const { return itemId; }
    int monitorType() const { return itemType; }
    int sourceId() const { return itemId; }
    int regionId() const { return itemId; }
};
