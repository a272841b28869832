#include "ZnTableCell.h"

#include <QSet>

#include <cstring>
#include <memory_resource>
#include <mutex>
#include <new>

static_assert(sizeof(ZnTableCell) <= 64, "a cell outgrew its pool block");

namespace {

const quint8 kHasUserData = 4;

// Pages may be filled from more than one thread in tests; a lock costs little
// beside the rest of a cell.
std::mutex &cellLock()
{
    static std::mutex lock;
    return lock;
}

// Never destroyed: cells may outlive static destruction (a table freed late).
std::pmr::unsynchronized_pool_resource &cellPool()
{
    static auto *pool = new std::pmr::unsynchronized_pool_resource(std::pmr::pool_options{4096, sizeof(ZnTableCell)});
    return *pool;
}

// Texts shown over and over (states, kinds, the same word in every row) share
// one string. Bounded, so a table of distinct names cannot grow it for good.
const int kSharedTextLimit = 4096;
const int kSharedTextLength = 32;

QString sharedText(const QString &t)
{
    if (t.size() > kSharedTextLength)
        return t;
    static auto *texts = new QSet<QString>;
    std::lock_guard<std::mutex> hold(cellLock());
    const auto found = texts->constFind(t);
    if (found != texts->cend())
        return *found;
    if (texts->size() < kSharedTextLimit)
        texts->insert(t);
    return t;
}

bool isLatin1(const QString &t)
{
    for (const QChar c : t) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// Under the address sanitizer every cell is a block of its own, so that the use
// of a freed cell is still caught.
const bool kPooled = false;
#else
const bool kPooled = true;
#endif

void *ZnTableCell::operator new(std::size_t size)
{
    if (!kPooled)
        return ::operator new(size);
    std::lock_guard<std::mutex> hold(cellLock());
    return cellPool().allocate(size, alignof(ZnTableCell));
}

void ZnTableCell::operator delete(void *p, std::size_t size)
{
    if (!kPooled)
        return ::operator delete(p);
    std::lock_guard<std::mutex> hold(cellLock());
    cellPool().deallocate(p, size, alignof(ZnTableCell));
}

ZnTableCell::ZnTableCell(const QString &t) : QTableWidgetItem(Type)
{
    keep(t);
}

ZnTableCell::ZnTableCell(const QString &t, int data) : QTableWidgetItem(Type), userData(data)
{
    keep(t);
    tag |= kHasUserData;
}

// The item's own copy would make a plain item's type: copied through assignment.
ZnTableCell::ZnTableCell(const ZnTableCell &other) : QTableWidgetItem(Type), userData(other.userData)
{
    QTableWidgetItem::operator=(other);
    copyKept(other);
}

ZnTableCell::~ZnTableCell()
{
    release();
}

void ZnTableCell::keep(const QString &t)
{
    bool ok = false;
    const int value = t.size() <= 11 ? t.toInt(&ok) : 0;
    if (ok && QString::number(value) == t) {
        std::memcpy(payload, &value, sizeof value);
        tag = Number;
    } else if (t.size() <= kInlineChars && isLatin1(t)) {
        for (int i = 0; i < t.size(); ++i)
            payload[i] = char(t.at(i).unicode());
        tag = quint8(Latin1 | (t.size() << 4));
    } else {
        new (payload) QString(sharedText(t));
        tag = Shared;
    }
}

void ZnTableCell::copyKept(const ZnTableCell &other)
{
    if (other.kind() == Shared)
        new (payload) QString(*other.shared());
    else
        std::memcpy(payload, other.payload, sizeof payload);
    tag = other.tag;
}

void ZnTableCell::release()
{
    if (kind() == Shared)
        shared()->~QString();
    tag = Latin1;
}

QString ZnTableCell::keptText() const
{
    switch (kind()) {
    case Number: {
        int value = 0;
        std::memcpy(&value, payload, sizeof value);
        return QString::number(value);
    }
    case Shared:
        return *shared();
    default:
        return QString::fromLatin1(payload, inlineSize());
    }
}

QVariant ZnTableCell::data(int role) const
{
    QVariant set = QTableWidgetItem::data(role);
    if (set.isValid())
        return set;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return keptText();
    if (role == Qt::UserRole && (tag & kHasUserData))
        return userData;
    return set;
}

QTableWidgetItem *ZnTableCell::clone() const
{
    return new ZnTableCell(*this);
}

void ZnTableCell::assign(QTableWidgetItem &to, const QTableWidgetItem &from)
{
    to = from;
    const auto *source = from.type() == Type ? static_cast<const ZnTableCell *>(&from) : nullptr;
    if (to.type() == Type) {
        auto &cell = static_cast<ZnTableCell &>(to);
        if (&cell == source)
            return;
        cell.release();
        if (source) {
            cell.copyKept(*source);
            cell.userData = source->userData;
        } else {
            cell.userData = 0;
        }
    } else if (source) {
        // A plain item keeps everything in its role values.
        to.setData(Qt::DisplayRole, source->data(Qt::DisplayRole));
        const QVariant data = source->data(Qt::UserRole);
        if (data.isValid())
            to.setData(Qt::UserRole, data);
    }
}
