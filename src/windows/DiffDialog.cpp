#include "windows/DiffDialog.h"

#include "editor/CarVersions.h"
#include "windows/DialogFocus.h"
#include "windows/DiffText.h"
#include "windows/MessageBoxPresenter.h"
#include "windows/ShownText.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

namespace quendral {

namespace {

void addLine(DiffDialog::Shown& shown, const QString& text, LineDiff::Kind kind)
{
    shown.text += text;
    shown.text += QLatin1Char('\n');
    shown.kinds.push_back(kind);
}

const char* prefixOf(LineDiff::Kind kind)
{
    switch (kind) {
    case LineDiff::Kind::Hunk: return "";
    case LineDiff::Kind::Removed: return "-";
    case LineDiff::Kind::Added: return "+";
    case LineDiff::Kind::Context: break;
    }
    return " ";
}

// What the worker reads and makes. The worker and the window share it, so
// that it lives as long as either still needs it.
struct DiffWork
{
    Comparison comparison;
    std::array<std::string, 2> bytes;
    DiffDialog::Shown shown;
    std::atomic<bool> cancelled = false;
    bool outOfMemory = false;
    bool handled = false;  // by the window's thread only

    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;

    void run()
    {
        try {
            comparison.diff = diffLines(bytes[0], bytes[1], &cancelled);
            bytes = {};
            if (!cancelled)
                shown = DiffDialog::shownLines(comparison, cancelled);
            comparison.diff = {};
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
        const std::lock_guard lock(mutex);
        done = true;
        doneChanged.notify_all();
    }

    bool waitFor(std::chrono::milliseconds patience)
    {
        std::unique_lock lock(mutex);
        return doneChanged.wait_for(lock, patience, [this] { return done; });
    }
};

} // namespace

int DiffDialog::s_patience = 250;

DiffDialog::Shown DiffDialog::shownLines(const Comparison& comparison, const std::atomic<bool>& cancelled)
{
    Shown shown;
    const LineDiff& diff = comparison.diff;
    std::size_t size = 0;
    for (const LineDiff::Line& line : diff.lines)
        size += line.text.size() + 2;
    shown.text.reserve(static_cast<qsizetype>(size + 1024));
    shown.kinds.reserve(diff.lines.size() + diff.notes.size() + 3);
    const LineDiff::Kind plain = LineDiff::Kind::Context;
    if (diff.unchanged())
        addLine(shown, QStringLiteral("No changes"), plain);
    for (const std::string& note : diff.notes)
        addLine(shown, QString::fromStdString(note), plain);
    if (!diff.lines.empty()) {
        addLine(shown, QStringLiteral("--- ") + shownPath(comparison.from.path) + QLatin1Char('\t')
                           + QString::fromStdString(comparison.from.label), plain);
        addLine(shown, QStringLiteral("+++ ") + shownPath(comparison.to.path) + QLatin1Char('\t')
                           + QString::fromStdString(comparison.to.label), plain);
    }
    for (std::size_t i = 0; i < diff.lines.size() && !(i % 4096 == 0 && cancelled); ++i) {
        const LineDiff::Line& line = diff.lines[i];
        shown.text += QLatin1String(prefixOf(line.kind));
        shown.text += shownText(line.text);
        shown.text += QLatin1Char('\n');
        shown.kinds.push_back(line.kind);
    }
    return shown;
}

void DiffDialog::open(const char* name, const QString& title, const char* caption, const Comparison& sides,
                      std::array<std::string, 2> bytes, QWidget* parent)
{
    auto work = std::make_shared<DiffWork>();
    work->comparison.from = sides.from;
    work->comparison.to = sides.to;
    work->bytes = std::move(bytes);

    // The progress dialog owns the watcher: once it is gone, whatever the
    // worker finishes reaches no one.
    auto* progress = new QProgressDialog(QStringLiteral("Comparing the versions…"), QStringLiteral("Cancel"), 0, 0, parent);
    progress->setObjectName(QStringLiteral("diffProgress"));
    progress->setWindowTitle(title);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    // Closing it as a dialog hands the keyboard back to the window below.
    const auto cancel = [work, progress] {
        if (work->cancelled.exchange(true))
            return;
        progress->done(QDialog::Rejected);
        progress->deleteLater();
    };
    QObject::connect(progress, &QProgressDialog::canceled, progress, cancel);
    QObject::connect(progress, &QDialog::rejected, progress, cancel);
    // Once no one can see the result, the worker stops, so that quitting
    // (which waits for it) does not wait for a diff no one will read.
    QObject::connect(progress, &QObject::destroyed, [work] { work->cancelled = true; });

    const QString shownName = QLatin1String(name);
    const std::string messageCaption = caption;
    const auto finish = [work, progress, shownName, messageCaption, title, parent] {
        if (std::exchange(work->handled, true))
            return;
        progress->reset();  // stops its timer, which would show it
        progress->hide();
        progress->deleteLater();
        if (work->cancelled)
            return;
        if (work->outOfMemory) {
            auto box = MessageBoxPresenter::makeBox(messageCaption, notEnoughMemoryToCompare(work->comparison), parent);
            DialogFocus::open(box.release());
            return;
        }
        DialogFocus::open(new DiffDialog(shownName, title, std::move(work->shown), parent));
    };
    auto* watcher = new QFutureWatcher<void>(progress);
    QObject::connect(watcher, &QFutureWatcher<void>::finished, progress, finish);
    watcher->setFuture(QtConcurrent::run([work] { work->run(); }));
    // A small diff is ready at once: its dialog opens straight away, so that
    // keys typed ahead reach it. A longer one gets the progress dialog, which
    // takes the keyboard until the diff is ready.
    if (s_patience > 0 && work->waitFor(std::chrono::milliseconds(s_patience)))
        finish();
    else
        DialogFocus::open(progress);
}

DiffDialog::DiffDialog(const QString& name, const QString& title, Shown shown, QWidget* parent)
    : QDialog(parent), m_text(new DiffText(this))
{
    setObjectName(name);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setLines(shown.text, std::move(shown.kinds));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(buttons);
    const QFontMetrics metrics(m_text->font());
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 90, metrics.lineSpacing() * 30);
}

} // namespace quendral
