#pragma once

// One row of a per-console list (call book, transfer, monitor, sound-source or region list).
class BookEntry
{
public:
    int terminalId = 0;
    int itemId = 0;
    int orderId = 0;
    int itemType = 0;
};
