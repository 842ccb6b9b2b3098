#include "windows/ChangedOnDiskBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace quendral {

ChangedOnDiskBar::ChangedOnDiskBar(std::function<void()> reload, QWidget* parent)
    : QFrame(parent), m_label(new QLabel(this)), m_reload(new QPushButton(QStringLiteral("&Reload"), this))
{
    setObjectName(QStringLiteral("changedOnDiskBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xce));
    setPalette(shade);
    m_reload->setObjectName(QStringLiteral("reloadButton"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_reload);
    connect(m_reload, &QPushButton::clicked, this, [reload = std::move(reload)] { reload(); });
    hide();
}

void ChangedOnDiskBar::showFor(const QString& carName)
{
    m_label->setText(carName + QStringLiteral(" changed on disk —"));
    show();
}

QString ChangedOnDiskBar::text() const
{
    return m_label->text() + QLatin1Char(' ') + m_reload->text().remove(QLatin1Char('&'));
}

} // namespace quendral
