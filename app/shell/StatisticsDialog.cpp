// StatisticsDialog: the figures of the result list in a form.
#include "shell/StatisticsDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/ResultStatistics.h"

namespace {
constexpr unsigned kSecondsText = 23;
constexpr unsigned kCaptionText = 511;
}  // namespace

StatisticsDialog::StatisticsDialog(const ResultStatistics& s, uint32_t elapsed, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("statisticsDialog"));
    setWindowTitle(LanguageText::plain(kCaptionText));
    setAccessibleName(LanguageText::plain(kCaptionText));
    auto* form = new QFormLayout;
    const auto add = [&](unsigned label, const char* name, const QString& value) {
        auto* v = new QLabel(value, this);
        v->setObjectName(QString::fromLatin1(name));
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->setAccessibleName(LanguageText::plain(label));
        form->addRow(LanguageText::get(label), v);
    };
    add(500, "rows", ResultStatistics::countText(s.rows));
    add(501, "files", ResultStatistics::countText(s.files));
    add(502, "folders", ResultStatistics::countText(s.folders));
    add(503, "compressed", ResultStatistics::countText(s.compressed));
    add(504, "archive", ResultStatistics::countText(s.archive));
    add(505, "readOnly", ResultStatistics::countText(s.readOnly));
    add(506, "hidden", ResultStatistics::countText(s.hidden));
    add(507, "system", ResultStatistics::countText(s.system));
    add(508, "temporary", ResultStatistics::countText(s.temporary));
    add(509, "totalSize", ResultStatistics::sizeText(s.totalFileBytes));
    add(510, "elapsed", LanguageFormat::format(LanguageText::plain(kSecondsText), {elapsed * 0.001}));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString StatisticsDialog::valueText(const QString& objectName) const
{
    const auto* label = findChild<QLabel*>(objectName);
    return label ? label->text() : QString();
}
