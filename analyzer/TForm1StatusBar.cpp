#include "analyzer/TForm1StatusBar.h"

#include <QLabel>
#include <QProgressBar>

TForm1StatusBar::TForm1StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusBarPanel%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        // At least the design width; wider when a text needs it.
        label->setMinimumWidth(PanelWidths[static_cast<size_t>(i)]);
        label->setContentsMargins(6, 0, 6, 0);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        addWidget(label);
        panels[static_cast<size_t>(i)] = label;
    }
    // Not managed by the bar's layout: placed by hand like the other panels' owner does.
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    progress->setRange(0, 100);
    progress->setValue(100);
    progress->setTextVisible(false);
    progress->setFixedSize(ProgressWidth, 10);
    PlaceProgressBar();
}

void TForm1StatusBar::SetPanelText(int panel, const QString &text)
{
    Panel(panel)->setText(text);
}

QString TForm1StatusBar::PanelText(int panel) const
{
    return Panel(panel)->text();
}

void TForm1StatusBar::PlaceProgressBar()
{
    progress->move(width() - progress->width() - ProgressRightGap, 5);
    progress->raise();
}

void TForm1StatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    PlaceProgressBar();
}
