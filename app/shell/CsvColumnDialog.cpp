// CsvColumnDialog: which columns the CSV export writes.
#include "shell/CsvColumnDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kLabelText = 39;
constexpr unsigned kTitleText = 40;
}  // namespace

CsvColumnDialog::CsvColumnDialog(const QStringList& captions, const ResultExport::Columns& initial, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("csvColumnDialog"));
    setWindowTitle(LanguageText::plain(kTitleText));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(LanguageText::get(kLabelText), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("csvColumns"));
    m_list->setAccessibleName(LanguageText::plain(kLabelText));
    label->setBuddy(m_list);
    for (int c = 0; c < ResultExport::kColumnCount; ++c) {
        auto* item = new QListWidgetItem(c < captions.size() ? captions[c] : QString(), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemChanged, this, &CsvColumnDialog::updateOk);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    setColumns(initial);
}

ResultExport::Columns CsvColumnDialog::columns() const
{
    ResultExport::Columns out{};
    for (int c = 0; c < ResultExport::kColumnCount && c < m_list->count(); ++c)
        out[size_t(c)] = m_list->item(c)->checkState() == Qt::Checked;
    return out;
}

void CsvColumnDialog::setColumns(const ResultExport::Columns& columns)
{
    for (int c = 0; c < ResultExport::kColumnCount && c < m_list->count(); ++c)
        m_list->item(c)->setCheckState(columns[size_t(c)] ? Qt::Checked : Qt::Unchecked);
    updateOk();
}

void CsvColumnDialog::updateOk()
{
    const ResultExport::Columns chosen = columns();
    m_ok->setEnabled(std::find(chosen.begin(), chosen.end(), true) != chosen.end());
}
