// MainStatusBar: four fixed panes.
#include "shell/MainStatusBar.h"

#include <QLabel>

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kIndexIdleText = 70;
// Accessible names of the panes (language strings).
constexpr unsigned kPaneNameTexts[MainStatusBar::kPaneCount] = {420, 421, 422, 423};
}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(true);
    for (int i = 0; i < kPaneCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("statusPane%1").arg(i));
        label->setAccessibleName(LanguageText::plain(kPaneNameTexts[i]));
        label->setFrameShape(QFrame::NoFrame);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        if (kPaneWidths[i] > 0) {
            label->setFixedWidth(kPaneWidths[i]);
            addPermanentWidget(label);
        } else {
            label->setMinimumWidth(1);
            addWidget(label, 1);
        }
        m_panes[i] = label;
    }
    setPaneText(2, LanguageText::get(kIndexIdleText));
}

void MainStatusBar::setPaneText(int pane, const QString& text)
{
    if (pane < 0 || pane >= kPaneCount)
        return;
    m_panes[pane]->setText(text);
    m_panes[pane]->setToolTip(text);
}

QString MainStatusBar::paneText(int pane) const
{
    return pane >= 0 && pane < kPaneCount ? m_panes[pane]->text() : QString();
}

QLabel* MainStatusBar::pane(int pane) const
{
    return pane >= 0 && pane < kPaneCount ? m_panes[pane] : nullptr;
}
