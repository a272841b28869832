#pragma once

// One row of a per-console list (call book, transfer, monitor, sound-source or region list).
class BookEntry
{
public:
    int terminalId = 0;
    int itemId = 0;
    int orderId = 0;
    int itemType = 0;

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
