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
#include <QDeadlineTimer>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>
#include <memory>
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

// What the worker hands back to the window.
struct DiffWork
{
    Comparison comparison;
    std::array<std::string, 2> bytes;
    DiffDialog::Shown shown;
    std::atomic<bool> cancelled = false;
    bool outOfMemory = false;
    bool handled = false;
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

void DiffDialog::open(const char* name, const QString& title, const Comparison& sides, std::array<std::string, 2> bytes,
                      QWidget* parent)
{
    auto work = std::make_shared<DiffWork>();
    work->comparison.from = sides.from;
    work->comparison.to = sides.to;
    work->bytes = std::move(bytes);

    auto* progress = new QProgressDialog(QStringLiteral("Comparing the versions…"), QStringLiteral("Cancel"), 0, 0, parent);
    progress->setObjectName(QStringLiteral("diffProgress"));
    progress->setWindowTitle(title);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    const auto cancel = [work, progress] {
        work->cancelled = true;
        progress->hide();
        progress->deleteLater();
    };
    QObject::connect(progress, &QProgressDialog::canceled, progress, cancel);
    QObject::connect(progress, &QDialog::rejected, progress, cancel);

    QThread* thread = QThread::create([work] {
        try {
            work->comparison.diff = diffLines(work->bytes[0], work->bytes[1]);
            work->bytes = {};
            if (!work->cancelled)
                work->shown = shownLines(work->comparison, work->cancelled);
            work->comparison.diff = {};
        } catch (const std::bad_alloc&) {
            work->outOfMemory = true;
        }
    });
    const std::string shownName = name;
    const auto finish = [work, progress, shownName, title, parent] {
        if (std::exchange(work->handled, true))
            return;
        progress->hide();
        progress->deleteLater();
        if (work->cancelled)
            return;
        if (work->outOfMemory) {
            auto box = MessageBoxPresenter::makeBox("History", notEnoughMemoryToCompare(work->comparison), parent);
            DialogFocus::open(box.release());
            return;
        }
        DialogFocus::open(new DiffDialog(shownName.c_str(), title, work->shown, parent));
    };
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QObject::connect(thread, &QThread::finished, progress, finish);
    thread->start();
    // A small diff is ready at once: its dialog opens straight away, so that
    // keys typed ahead reach it. A longer one gets the progress dialog, which
    // takes the keyboard until the diff is ready.
    if (s_patience > 0 && thread->wait(QDeadlineTimer(s_patience)))
        finish();
    else if (!work->handled)
        DialogFocus::open(progress);
}

DiffDialog::DiffDialog(const char* name, const QString& title, const Shown& shown, QWidget* parent)
    : QDialog(parent), m_text(new DiffText(this))
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    m_text->setLines(shown.text, shown.kinds);

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
