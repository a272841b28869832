#include "ZnDownAndUploadViewCtr.h"

#include "TcpSocketClient.h"
#include "ZnCFtpClient.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnFtpClientMgr.h"
#include "ZnGlobals.h"
#include "ZnServerText.h"
#include "ZnTranscodeProcess.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMutexLocker>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimerEvent>

#include <cstring>

const char* const ZnDownAndUploadViewCtr::kNoteFile = "UploadAndDownloadNote";
const char* const ZnDownAndUploadViewCtr::kTempDir = "./temp_mp3/";

namespace {
QString fromC(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}
}

ZnDownAndUploadViewCtr::ZnDownAndUploadViewCtr(QTableWidget* table) : m_table(table), m_note(kNoteFile)
{
    m_note.open("rb");
    cleanTempDir();
    initTable();
    createMenu();
    if (m_table) {
        connect(m_table, &QTableWidget::itemSelectionChanged, this, &ZnDownAndUploadViewCtr::tableWidgetClick);
        connect(m_table, &QTableWidget::customContextMenuRequested, this, &ZnDownAndUploadViewCtr::showMediaMenu);
    }
    TcpSocketClient* worker = TcpSocketClient::instance();
    connect(worker, &TcpSocketClient::transferFinished, this, &ZnDownAndUploadViewCtr::slot_transferFinished);
    connect(worker, &TcpSocketClient::transferSizeKnown, this, &ZnDownAndUploadViewCtr::slot_transferSizeKnown);
    m_timer = startTimer(200, Qt::CoarseTimer);
    if (ZnCFtpClient* c = ZnFtpClientMgr::instance()->client())
        c->setTransferQueue(this);
}

ZnDownAndUploadViewCtr::~ZnDownAndUploadViewCtr()
{
    saveNote();
    if (ZnCFtpClient* c = ZnFtpClientMgr::instance()->client())
        c->setTransferQueue(nullptr);
}

QWidget* ZnDownAndUploadViewCtr::widget()
{
    return m_table;
}

QString ZnDownAndUploadViewCtr::stateText(int state)
{
    if (state >= 0 && state < 6)
        return gTransferStateText[state];
    return state == TransferRecord::kFailed ? QStringLiteral("失败") : QString();
}

QString ZnDownAndUploadViewCtr::mp3NameOf(const QString& source)
{
    QString name = source.mid(source.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.endsWith(QLatin1String(".wav")))
        name = name.left(name.size() - 4) + QLatin1String(".mp3");
    return QLatin1String(kTempDir) + name;
}

void ZnDownAndUploadViewCtr::cleanTempDir()
{
    QDir dir{QLatin1String(kTempDir)};
    if (dir.exists())
        dir.removeRecursively();
    QDir().mkpath(QLatin1String(kTempDir));
}

void ZnDownAndUploadViewCtr::createMenu()
{
    if (!m_table)
        return;
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_menu = new QMenu(m_table);
    m_downloadAct = m_menu->addAction(stateText(0));
    m_uploadAct = m_menu->addAction(stateText(1));
    m_pauseAct = m_menu->addAction(stateText(2));
    m_deleteAct = m_menu->addAction(stateText(3));
    connect(m_downloadAct, &QAction::triggered, this, &ZnDownAndUploadViewCtr::downloadAction);
    connect(m_uploadAct, &QAction::triggered, this, &ZnDownAndUploadViewCtr::uploadAction);
    connect(m_pauseAct, &QAction::triggered, this, &ZnDownAndUploadViewCtr::pauseAction);
    connect(m_deleteAct, &QAction::triggered, this, &ZnDownAndUploadViewCtr::deleteAction);
}

int ZnDownAndUploadViewCtr::uniqueId(const QString& name)
{
    // Transfers of the same name get ids of their own, so progress and results
    // never land on the wrong row.
    int id = TransferRecord::hashName(name.toUtf8());
    QMutexLocker lock(&m_mutex);
    for (;;) {
        bool taken = false;
        for (const TransferRecord& r : m_records)
            taken = taken || r.id == id;
        if (!taken && id != 0)
            return id;
        id = (id + 1) & 0x7fffffff;
    }
}

int ZnDownAndUploadViewCtr::queueDownload(const char* name, const char* serverPath, const char* localPath, qint64 size)
{
    if (!name && !serverPath && !localPath)
        return -1;
    TransferRecord r;
    r.id = uniqueId(fromC(name));
    r.kind = TransferRecord::Download;
    r.state = 0;
    TransferRecord::setText(r.name, fromC(name));
    r.total = size;
    r.source = fromC(serverPath);
    r.destination = fromC(localPath);
    if (!startDownload(r))
        return -1;
    addRecord(r);
    addRow(r);
    return 0;
}

int ZnDownAndUploadViewCtr::queueUpload(const char* name, const char* localPath, const char* serverPath, qint64 size)
{
    if (!name && !localPath && !serverPath)
        return -1;
    TransferRecord r;
    r.id = uniqueId(fromC(name));
    r.kind = TransferRecord::Upload;
    r.state = m_transcodeQueue.empty() ? 5 : 4;
    TransferRecord::setText(r.name, fromC(name));
    r.total = size;
    r.source = fromC(localPath);
    r.destination = fromC(serverPath);
    m_transcodeQueue.push_back(r);
    addRecord(r);
    addRow(r);
    if (r.state == 5)
        startTranscode();
    return 0;
}

bool ZnDownAndUploadViewCtr::startDownload(const TransferRecord& r)
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (r.state != 0 || !mgr)
        return false;
    return mgr->downloadFile(r.source.toStdString(), r.destination.toStdString(), r.id) == 0;
}

bool ZnDownAndUploadViewCtr::startUpload(const TransferRecord& r)
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (r.state != 1 || !mgr)
        return false;
    return mgr->uploadFiles(r.source.toStdString(), r.destination.toStdString(), r.id) == 0;
}

void ZnDownAndUploadViewCtr::startTranscode()
{
    if (m_transcodeQueue.empty())
        return;
    TransferRecord r = findRecord(m_transcodeQueue.front().id);
    // Each upload converts into a folder of its own, so two files of the same
    // name never meet and cleaning up one never touches another's file.
    QDir().mkpath(QLatin1String(kTempDir));
    QTemporaryDir folder(QDir(QLatin1String(kTempDir)).absoluteFilePath(QStringLiteral("XXXXXX")));
    folder.setAutoRemove(false);
    // Named from the working folder, which lame shares: however long the working
    // folder's own path, an MP3 named as its source (of a name that fits here)
    // is written, sent and removed.
    if (folder.isValid())
        r.tempFolder = QDir::current().relativeFilePath(folder.path());
    const QString target = r.tempFolder + QLatin1Char('/') + QFileInfo(mp3NameOf(r.source)).fileName();
    auto* encoder = new ZnTranscodeProcess(this);
    r.encoder = encoder;
    r.state = 5;
    replaceRecord(r);
    rewriteRow(r);
    connect(encoder, &ZnTranscodeProcess::transcode_finished, this, &ZnDownAndUploadViewCtr::transcode_finished,
            Qt::QueuedConnection);
    if (!folder.isValid())
        encoder->giveUp(QLatin1String(kTempDir));
    else
        encoder->start(r.source, target);
}

void ZnDownAndUploadViewCtr::transcode_finished(bool ok, const QString& target)
{
    if (m_transcodeQueue.empty())
        return;
    const int id = m_transcodeQueue.front().id;
    m_transcodeQueue.pop_front();
    TransferRecord r = findRecord(id);
    QString why;
    if (r.encoder) {
        why = r.encoder->errorText();
        r.encoder->deleteLater();
        r.encoder = nullptr;
    }
    if (r.name[0]) {
        if (!ok) {
            dropTempFolder(r);
            fail(r, why.isEmpty() ? tr("conversion failed") : why);
        } else {
            r.source = target;
            r.total = QFileInfo(target).size();
            r.state = 1;
            replaceRecord(r);
            rewriteRow(r);
            if (!startUpload(r))
                fail(r, QStringLiteral("上传文件出错！"));
        }
    }
    if (!m_transcodeQueue.empty())
        startTranscode();
}

void ZnDownAndUploadViewCtr::fail(TransferRecord& r, const QString& why)
{
    r.state = TransferRecord::kFailed;
    TransferRecord::setText(r.error, why);
    replaceRecord(r);
    rewriteRow(r);
}

void ZnDownAndUploadViewCtr::dropTempFolder(TransferRecord& r)
{
    if (!r.tempFolder.isEmpty())
        QDir(r.tempFolder).removeRecursively();
    r.tempFolder.clear();
}

void ZnDownAndUploadViewCtr::slot_progressIndicator(int id, qint64 done)
{
    QMutexLocker lock(&m_mutex);
    for (TransferRecord& r : m_records) {
        if (r.id == id) {
            r.done = done;
            return;
        }
    }
}

void ZnDownAndUploadViewCtr::slot_transferFinished(int id, bool ok, const QString& error)
{
    TransferRecord r = findRecord(id);
    if (!r.name[0] || r.finished || (r.state != 0 && r.state != 1))
        return;
    if (ok) {
        QMutexLocker lock(&m_mutex);
        for (TransferRecord& live : m_records) {
            if (live.id == id) {
                live.finished = true;
                live.done = live.total = qMax(live.done, live.total);
            }
        }
        return;
    }
    fail(r, error);
}

void ZnDownAndUploadViewCtr::slot_transferSizeKnown(int id, qint64 size)
{
    // The listing's size may be stale or false; what the service sends is counted
    // against what it announced, so a cut-off download never shows a full bar.
    TransferRecord r = findRecord(id);
    if (!r.name[0] || r.kind != TransferRecord::Download || r.total == size)
        return;
    r.total = size;
    replaceRecord(r);
    rewriteRow(r);
}

TransferRecord ZnDownAndUploadViewCtr::findRecord(int id)
{
    QMutexLocker lock(&m_mutex);
    for (const TransferRecord& r : m_records) {
        if (r.id == id)
            return r;
    }
    TransferRecord unknown;
    unknown.state = 2;
    return unknown;
}

int ZnDownAndUploadViewCtr::recordCount()
{
    QMutexLocker lock(&m_mutex);
    return int(m_records.size());
}

void ZnDownAndUploadViewCtr::addRecord(const TransferRecord& r)
{
    QMutexLocker lock(&m_mutex);
    m_records.push_back(r);
}

void ZnDownAndUploadViewCtr::replaceRecord(const TransferRecord& r)
{
    QMutexLocker lock(&m_mutex);
    for (TransferRecord& live : m_records) {
        if (live.id == r.id) {
            const qint64 done = live.done;
            live = r;
            live.done = qMax(done, r.done);
            return;
        }
    }
}

void ZnDownAndUploadViewCtr::removeRecord(int id)
{
    QMutexLocker lock(&m_mutex);
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if (it->id == id) {
            dropTempFolder(*it);
            m_records.erase(it);
            return;
        }
    }
}

void ZnDownAndUploadViewCtr::setShown(int id, qint64 shown)
{
    QMutexLocker lock(&m_mutex);
    for (TransferRecord& r : m_records) {
        if (r.id == id) {
            r.shown = shown;
            return;
        }
    }
}

void ZnDownAndUploadViewCtr::addRow(const TransferRecord& r)
{
    if (!m_table)
        return;
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setValue(ZnCommon::percentOf(r.shown, r.total));
    m_table->setCellWidget(row, 2, bar);
    fillRow(row, r);
}

void ZnDownAndUploadViewCtr::fillRow(int row, const TransferRecord& r)
{
    // A failed transfer says why in its state cell.
    const QString why = TransferRecord::text(r.error);
    const bool failed = r.state == TransferRecord::kFailed && !why.isEmpty();
    setItemQString(failed ? stateText(r.state) + QStringLiteral("：") + why : stateText(r.state), row, 0, r.id);
    QTableWidgetItem* name = ZnCommon::setTableItem2(m_table, TransferRecord::text(r.name), row, 1, quint64(r.total));
    setItemQString(QString::fromStdString(ZnCommon::formatSizeMB(quint64(qMax<qint64>(0, r.total)))), row, 3, 0);
    const QString tip = TransferRecord::text(r.error);
    if (QTableWidgetItem* state = m_table->item(row, 0))
        state->setToolTip(ZnServerText::toolTip(tip));
    if (name)
        name->setToolTip(ZnServerText::toolTip(tip.isEmpty() ? name->text() : tip));
}

void ZnDownAndUploadViewCtr::rewriteRow(const TransferRecord& r)
{
    const int row = findRowById(r.id);
    if (row >= 0)
        fillRow(row, r);
}

void ZnDownAndUploadViewCtr::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer || !m_table || m_table->rowCount() == 0)
        return;
    for (int row = m_table->rowCount() - 1; row >= 0; --row) {
        const int id = itemValue(row, 0);
        const TransferRecord r = findRecord(id);
        if (!r.name[0] || r.finished) {
            // One finished transfer goes per tick.
            m_table->removeRow(row);
            removeRecord(id);
            return;
        }
        // A failed transfer keeps the progress it reached.
        setShown(id, r.done);
        if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, 2))) {
            if (r.total > 0)
                bar->setValue(ZnCommon::percentOf(r.done, r.total));
        }
    }
}

bool ZnDownAndUploadViewCtr::currentRecord(TransferRecord& out)
{
    if (!m_table)
        return false;
    const int row = m_table->currentRow();
    if (row < 0 || !m_table->item(row, 0))
        return false;
    out = findRecord(itemValue(row, 0));
    return out.name[0] != '\0';
}

bool ZnDownAndUploadViewCtr::menuRecord(TransferRecord& out)
{
    // Rows come and go while the menu is open (a finished one leaves on the timer).
    out = findRecord(m_menuId);
    return m_table && out.name[0] != '\0' && findRowById(out.id) >= 0;
}

bool ZnDownAndUploadViewCtr::isRunning(const TransferRecord& r)
{
    return r.state == 0 || r.state == 1 || r.state == 4 || r.state == 5;
}

void ZnDownAndUploadViewCtr::updateMenuActions(const TransferRecord& r)
{
    for (QAction* a : {m_downloadAct, m_uploadAct, m_pauseAct, m_deleteAct}) {
        if (a)
            a->setEnabled(true);
    }
    if (r.id > 0 && (r.state == 0 || r.state == 1)) {
        m_downloadAct->setEnabled(false);
        m_uploadAct->setEnabled(false);
    }
    // What still runs stays; a failed row may go (a finished one goes by itself).
    m_deleteAct->setEnabled(!isRunning(r));
}

void ZnDownAndUploadViewCtr::tableWidgetClick()
{
    TransferRecord r;
    if (currentRecord(r))
        updateMenuActions(r);
}

void ZnDownAndUploadViewCtr::showMediaMenu(const QPoint& pos)
{
    const QTableWidgetItem* item = m_table ? m_table->itemAt(pos) : nullptr;
    if (!m_menu || !item)
        return;
    m_menuId = itemValue(item->row(), 0);
    updateMenuActions(findRecord(m_menuId));
    m_menu->popup(QCursor::pos());
}

void ZnDownAndUploadViewCtr::downloadAction()
{
    // Starts a download again from the beginning, also after it failed.
    TransferRecord r;
    if (!menuRecord(r) || r.kind != TransferRecord::Download)
        return;
    r.state = 0;
    r.done = r.shown = 0;
    r.error[0] = '\0';
    if (!startDownload(r))
        return;
    removeRecord(r.id);
    addRecord(r);
    rewriteRow(r);
    updateMenuActions(r);
}

void ZnDownAndUploadViewCtr::uploadAction()
{
    TransferRecord r;
    if (!menuRecord(r) || r.kind != TransferRecord::Upload || !QFileInfo::exists(r.source))
        return;
    if (r.state == TransferRecord::kFailed && r.tempFolder.isEmpty())
        return; // the conversion failed: nothing to send
    if (r.state == TransferRecord::kFailed)
        r.state = 1;
    r.done = r.shown = 0;
    r.error[0] = '\0';
    if (!startUpload(r))
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_records.remove_if([&](const TransferRecord& x) { return x.id == r.id; });
        m_records.push_back(r);
    }
    rewriteRow(r);
    updateMenuActions(r);
}

void ZnDownAndUploadViewCtr::pauseAction()
{
    TransferRecord r;
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (!menuRecord(r) || !mgr || mgr->pauseTransfer(r.pauseArg) != 0)
        return;
    r.state = 2;
    {
        QMutexLocker lock(&m_mutex);
        m_records.remove_if([&](const TransferRecord& x) { return x.id == r.id; });
        m_records.push_back(r);
    }
    rewriteRow(r);
    updateMenuActions(r);
}

void ZnDownAndUploadViewCtr::deleteAction()
{
    // A failed transfer goes with its row and its MP3; one that still runs
    // stays, whatever the menu showed.
    TransferRecord r;
    if (!menuRecord(r) || isRunning(r))
        return;
    m_table->removeRow(findRowById(r.id));
    removeRecord(r.id);
}

void ZnDownAndUploadViewCtr::saveNote()
{
    m_note.close();
    // The new note takes the earlier one's place only once it is whole on the disk.
    bool written = m_note.open("w+b") == 0;
    {
        QMutexLocker lock(&m_mutex);
        for (const TransferRecord& r : m_records) {
            const QByteArray bytes = r.noteBytes();
            written = written && m_note.writeRecord(bytes.constData(), size_t(bytes.size())) == 0;
        }
        // Paths too long for their fields follow the records whole, where a reader of
        // the fixed records alone stops as at the file's end.
        qint32 position = 0;
        for (const TransferRecord& r : m_records) {
            if (written && r.hasLongPath()) {
                const QByteArray whole = r.noteWholePaths(position);
                written = m_note.writeTrailer(whole.constData(), size_t(whole.size())) == 0;
            }
            ++position;
        }
    }
    written = written && m_note.commit() == 0;
    if (!written)
        qWarning("%s not written (%s); the earlier one is kept", kNoteFile, std::strerror(m_note.error()));
    m_note.close();
}
