#include "recovery.h"
#include "document_rules.h"
#include "session_end.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/userpaths.h"
#include "imaging/store/imagestore.h"
#include <QDir>

namespace recovery {

QString folder() { return userpaths::stateFolder() + "/recovery"; }

QString questionText(const Meta& meta)
{
    const QString name = meta.name.isEmpty() ? documents::kNewImageName : meta.name;
    return QStringLiteral("前回保存されなかった図面があります（%1, %2）。開きますか？")
        .arg(name, meta.time.toLocalTime().toString("yyyy/MM/dd HH:mm"));
}

QString notOpenedText(const QString& file)
{
    return QStringLiteral("前回の図面を開いたため、次のファイルは開いていません。\n%1").arg(file);
}

QString cannotKeepText(const QString& dir)
{
    return QStringLiteral("保存されていない変更の控えを作れませんでした（%1 に書き込めません）。\n"
                          "閉じる前に図面を保存しますか？")
        .arg(dir);
}

// ---- Keeper -------------------------------------------------------------------

Keeper::Keeper(MainWindow& form) : QObject(&form), m_form(form), m_slot(folder())
{
    m_clock.start();
    // Often enough that the first copy starts within seconds of the first
    // change; the schedule decides.
    m_check.setInterval(5 * 1000);
    connect(&m_check, &QTimer::timeout, this, &Keeper::checkDue);
    m_check.start();
    // A zero-interval timer fires when the event queue is empty: the slices
    // are written only while the editor waits for input.
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &Keeper::writeSlice);
}

Keeper::~Keeper() { m_writer.abort(); }

const QImage* Keeper::canvas() const
{
    const int32_t h = m_form.dspCanvas ? m_form.dspCanvas->ImageHandle() : 0;
    return h ? gf5::ImageStore::image(h) : nullptr;
}

Keeper::CanvasKey Keeper::currentKey() const
{
    const QImage* img = canvas();
    // A QImage's cache key changes whenever its pixels are written.
    return img ? CanvasKey{m_form.dspCanvas->ImageHandle(), img->cacheKey()} : CanvasKey{};
}

Meta Keeper::metaNow() const
{
    const documents::PlanDocument& doc = m_form.document;
    return Meta{doc.path(), QDateTime::currentDateTime(), doc.scaleDenominator(),
                doc.resolutionSource() == documents::ResolutionSource::Settings};
}

void Keeper::markClean()
{
    m_form.document.markClean(currentKey());
    stopWriting();
    m_written = CanvasKey{};
    schedule.clean();
    // The file now holds what the copy held.
    m_slot.removeCopy();
}

bool Keeper::hasUnsavedWork() const { return m_form.document.hasUnsavedWork(currentKey()); }

void Keeper::checkDue()
{
    if (writing())
        return;
    const CanvasKey now = currentKey();
    const QImage* img = canvas();
    const bool unkept = img && hasUnsavedWork() && !(now == m_written);
    if (!schedule.due(m_clock.elapsed(), unkept))
        return;
    if (!m_slot.ensure() || !m_writer.begin(imageIn(m_slot.dir()), img->width(), img->height(),
                                            img->dotsPerMeterX(), img->dotsPerMeterY()))
        return;
    m_job = now;
    m_nextRow = 0;
    m_slice.start();
}

void Keeper::stopWriting()
{
    m_slice.stop();
    m_writer.abort();
}

void Keeper::writeSlice()
{
    if (m_form.busyDepth > 0)
        return; // a long command runs: the next idle moment continues
    if (!(currentKey() == m_job)) {
        // The picture changed under the copy: begin again with the new one
        // (no second full copy of the image is ever held).
        stopWriting();
        checkDue();
        return;
    }
    const QImage* img = canvas();
    QElapsedTimer spent;
    spent.start();
    const int rows = rowsPerStep(img->width());
    // At least one step a slice, so that the copy always advances.
    do {
        const int to = qMin(img->height(), m_nextRow + rows);
        if (!m_writer.writeRows(*img, m_nextRow, to)) {
            stopWriting();
            return;
        }
        m_nextRow = to;
    } while (m_nextRow < img->height() && spent.elapsed() < sliceBudgetMs);
    if (m_nextRow < img->height())
        return;
    m_slice.stop();
    if (m_writer.finish() && m_slot.writeMeta(metaNow())) {
        m_written = m_job;
        schedule.copied(m_clock.elapsed());
    }
}

bool Keeper::keepNow()
{
    stopWriting();
    if (!hasUnsavedWork()) {
        m_slot.removeCopy();
        return true;
    }
    const CanvasKey now = currentKey();
    if (now == m_written && m_slot.hasCopy())
        return true;
    const QImage* img = canvas();
    if (!img)
        return true;
    if (!m_slot.ensure() || !writeBmp(imageIn(m_slot.dir()), *img) || !m_slot.writeMeta(metaNow()))
        return false;
    m_written = now;
    schedule.copied(m_clock.elapsed());
    return true;
}

void Keeper::adoptShown(OrphanCopy& orphan)
{
    if (m_slot.adopt(orphan.dir))
        m_written = currentKey();
    removeOrphan(orphan);
}

} // namespace recovery

// ---- The window's side --------------------------------------------------------

namespace {
// Shows an orphan's copy on window's canvas, as a document of its own name
// that no file holds yet. False (after a message) when it cannot be read.
bool showCopy(MainWindow& window, recovery::OrphanCopy& orphan)
{
    window.fileIo.FileName = orphan.image();
    window.fileIo.FileOperation = gf5::Gf5File::Read;
    window.fileIo.CancelRequested = false;
    if (window.fileIo.Execute() == 0) {
        messages::show(&window, QStringLiteral("前回の図面を読み込めませんでした。\n%1").arg(window.fileIo.LastError));
        return false;
    }
    if (window.dspCanvas->ImageHandle() != 0)
        window.ReleaseCanvasImage();
    window.AdoptLoadedImage(false);
    const recovery::Meta meta = orphan.meta;
    window.recoveryKeeper().adoptShown(orphan);
    // The document keeps its own name, but that file does not hold this
    // picture: a plain save asks for a place, and the copy stays until the
    // picture is saved.
    window.document.recover(meta.name.isEmpty() ? documents::kNewImageName : meta.name);
    // The picture file keeps the resolution; the scale and where the
    // resolution came from are kept beside it.
    if (meta.scaleDenominator > 0)
        window.document.setScaleDenominator(meta.scaleDenominator);
    if (meta.resolutionAssumed)
        window.document.setResolution(window.document.dpi(), documents::ResolutionSource::Settings);
    if (meta.scaleDenominator > 0)
        window.rereadWalls(); // at the plan's own scale
    window.UpdateTitle();
    return true;
}
}

recovery::Keeper& MainWindow::recoveryKeeper()
{
    if (!Recovery)
        Recovery = new recovery::Keeper(*this);
    return *Recovery;
}

void MainWindow::markDocumentClean() { recoveryKeeper().markClean(); }

bool MainWindow::keepUnsavedWork(bool askWhenNotKept)
{
    if (!Recovery || Recovery->keepNow() || !askWhenNotKept)
        return true;
    // No copy could be written (the folder is full or read-only): the work
    // would be lost without a word.
    if (!messages::askYesDefault(this, recovery::cannotKeepText(recovery::folder())))
        return true;
    mnuEditSave_Click();
    return !Recovery->hasUnsavedWork();
}

void MainWindow::offerRecovery()
{
    // The file named at start goes in first: a copy taken must not be
    // replaced by it afterwards.
    if (firstFilePending) {
        recoveryAfterFirstFile = true;
        return;
    }
    const QString root = recovery::folder();
    std::vector<recovery::OrphanCopy> orphans = recovery::claimOrphans(root);
    recovery::pruneDiscarded(root, QDateTime::currentDateTime());
    // The first copy taken goes into this window; any further one into a
    // window of its own, so that none is dropped.
    bool thisWindowTaken = false;
    for (recovery::OrphanCopy& orphan : orphans) {
        const bool yes = messages::askYesDefault(this, recovery::questionText(orphan.meta));
        if (recovery::sessionEnding())
            break; // the box was closed by the program's end, not answered
        if (!yes) {
            recovery::setAside(orphan, root, QDateTime::currentDateTime());
            continue;
        }
        MainWindow* target = this;
        if (thisWindowTaken) {
            target = new MainWindow({}, programDir());
            target->setAttribute(Qt::WA_DeleteOnClose);
            target->show();
        }
        const QString named = target == this ? document.path() : QString();
        if (!showCopy(*target, orphan)) {
            if (target != this)
                target->close();
            continue;
        }
        if (target == this) {
            thisWindowTaken = true;
            if (!FirstArg.isEmpty() && !named.isEmpty() && named == FirstArg)
                messages::show(this, recovery::notOpenedText(named));
        }
    }
}
