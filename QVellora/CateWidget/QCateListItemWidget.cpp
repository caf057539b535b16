// SPDX-License-Identifier: MIT
#include "CateWidget/QCateListItemWidget.h"

#include "CateWidget/QCateColorLabel.h"
#include "CateWidget/QCateColorWidget.h"
#include "CateWidget/QPhotoCataListWdiget.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"
#include "Pictures/CPrintSize.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

// The names the field shows whole; CJK characters are the widest a name is likely to hold.
static constexpr int kShownNameLength = 20;

QCateListItemWidget::QCateListItemWidget(int itemSize, bool hideCaption, bool hideAddButton, bool hideColour,
                                         bool lockName, QWidget* parent)
    : QWidget(parent), m_title(new QLabel(this)), m_caption(new QCateColorLabel(this)),
      m_listWidget(new QPhotoCataListWdiget(itemSize)), m_nameBox(new QComboBox(this)),
      m_sizeBox(new QComboBox(this)), m_summary(new QLabel(this)), m_colorWidget(new QCateColorWidget(this)),
      m_addButton(
          new QDrawImageButton(CSharedPixmap::get(QStringLiteral(":/image/new_button/new_item.png")), this))
{
    m_caption->setVisible(!hideCaption);
    // Where the name cannot be edited it is shown whole above the pictures.
    m_title->setWordWrap(true);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setVisible(lockName);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    connect(m_listWidget, &QPhotoCataListWdiget::hadAddPhotos, this, &QCateListItemWidget::onAddItemPhotos);
    connect(m_listWidget, &QPhotoCataListWdiget::addPhotoOnes, this, &QCateListItemWidget::onAddPhotoOnes);
    connect(m_listWidget, &QPhotoCataListWdiget::subPhotoOnes, this, &QCateListItemWidget::markSubPhotoOnes);
    connect(m_listWidget, &QPhotoCataListWdiget::subPhotoOnesText, this,
            &QCateListItemWidget::onSubPhotoOnes);

    m_nameBox->setEditable(true);
    m_nameBox->setMinimumWidth(NameBoxWidth(m_nameBox));
    m_nameBox->addItem(QIcon(), DefaultName());
    for (const char* name : {"朋友", "家人", "旅游", "聚会"})
        m_nameBox->addItem(QIcon(), QString::fromUtf8(name));
    m_nameBox->setEnabled(!lockName);
    connect(m_nameBox, &QComboBox::currentTextChanged, this, &QCateListItemWidget::onNameShown);
    connect(m_nameBox, &QComboBox::currentTextChanged, this, &QCateListItemWidget::cateNameChanged);
    onNameShown(m_nameBox->currentText());
    RefreshSummary();

    m_sizeBox->setObjectName(QStringLiteral("printSizeBox"));
    for (const CPrintSize& size : CPrintSize::all())
        m_sizeBox->addItem(size.label(), size.key());
    m_sizeBox->setCurrentIndex(m_sizeBox->findData(CPrintSize::standard().key()));
    m_sizeBox->setToolTip(QStringLiteral("打印尺寸"));
    m_sizeBox->setEnabled(!lockName);
    connect(m_sizeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { emit printSizePicked(m_sizeBox->itemData(index).toString()); });
    m_summary->setObjectName(QStringLiteral("printSummary"));
    m_summary->setVisible(lockName);
    connect(m_listWidget, &QPhotoCataListWdiget::badgesChanged, this, &QCateListItemWidget::RefreshSummary);

    m_colorWidget->SetColor(QColor(255, 0, 0, 255));
    m_colorWidget->setMaximumSize(20, 20);
    m_colorWidget->setVisible(!hideColour);

    m_addButton->setFixedSize(57, 26);
    connect(m_addButton, &QDrawImageButton::clicked, this, &QCateListItemWidget::checkAddNewItem);
    m_addButton->setVisible(!hideAddButton);

    m_bottom = new QHBoxLayout;
    m_bottom->addWidget(m_addButton);
    m_bottom->addStretch(200);
    m_bottom->addWidget(m_colorWidget);
    m_bottom->addWidget(m_nameBox);
    m_bottom->addWidget(m_sizeBox);
    m_bottom->addStretch(200);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_summary);
    layout->addWidget(m_caption);
    layout->addWidget(m_listWidget);
    layout->addLayout(m_bottom);
}

QString QCateListItemWidget::DefaultName()
{
    return QStringLiteral("点击命名");
}

QString QCateListItemWidget::GetCateName()
{
    m_name = m_nameBox->currentText();
    return m_name;
}

void QCateListItemWidget::SetCateName(const QString& name)
{
    m_nameBox->setItemText(0, name);
    // The field shows the name also when another entry was picked or typed over the first one
    // (an undone rename brings the old name back into the field).
    if (m_nameBox->currentText() != name) {
        m_nameBox->setCurrentIndex(0);
        if (m_nameBox->currentText() != name)
            m_nameBox->setEditText(name);
    }
    // Setting a text leaves the cursor after it, which scrolls a name longer than the field to
    // its end: the start of a name is what tells categories apart.
    if (m_nameBox->lineEdit())
        m_nameBox->lineEdit()->home(false);
    update();
}

int QCateListItemWidget::NameBoxWidth(const QComboBox* box)
{
    const QFontMetrics metrics(box->font());
    const int text = qMax(metrics.horizontalAdvance(QString(kShownNameLength, QChar(0x5BB6))),
                          metrics.horizontalAdvance(QString(kShownNameLength, QLatin1Char('W'))));
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    // The line edit keeps a margin of two pixels on either side and room for the cursor.
    const QSize content(text + 6, metrics.height());
    return box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, box).width();
}

QString QCateListItemWidget::GetTitleText() const
{
    return m_title->text();
}

void QCateListItemWidget::onNameShown(const QString& name)
{
    m_nameBox->setToolTip(name);
    m_title->setText(name);
}

QColor QCateListItemWidget::GetCateColor() const
{
    return m_colorWidget->GetColor();
}

void QCateListItemWidget::SetCateColor(const QColor& color)
{
    m_colorWidget->SetColor(color);
}

void QCateListItemWidget::SetPrintSize(const QString& key)
{
    const QSignalBlocker quiet(m_sizeBox);
    m_sizeBox->setCurrentIndex(m_sizeBox->findData(CPrintSize::byKey(key).key()));
    // The list's badgesChanged brings the summary along.
    m_listWidget->SetPrintSize(key);
}

QString QCateListItemWidget::GetPrintSize() const
{
    return m_listWidget->GetPrintSize();
}

void QCateListItemWidget::SetFactsLookup(QPhotoCataListWdiget::FactsLookup lookup)
{
    m_listWidget->SetFactsLookup(std::move(lookup));
}

QString QCateListItemWidget::GetPrintSummary() const
{
    return m_summary->text();
}

void QCateListItemWidget::RefreshSummary()
{
    QStringList parts{CPrintSize::byKey(m_listWidget->GetPrintSize()).label()};
    const int acceptable = m_listWidget->CountBadges(QPhotoCataListWdiget::Badge::Acceptable);
    const int poor = m_listWidget->CountBadges(QPhotoCataListWdiget::Badge::Poor);
    if (acceptable > 0)
        parts.append(QStringLiteral("%1 张清晰度一般").arg(acceptable));
    if (poor > 0)
        parts.append(QStringLiteral("%1 张清晰度不足").arg(poor));
    m_summary->setText(parts.join(QStringLiteral(" · ")));
}

void QCateListItemWidget::AddImageItem(QPixmap* picture, const QString& path)
{
    m_listWidget->AddImageItem(picture, path);
}

void QCateListItemWidget::AddImageItems(const QList<QPixmap*>& pictures, const QStringList& paths)
{
    m_listWidget->AddImageItems(pictures, paths);
}

void QCateListItemWidget::ClearImageItems()
{
    m_listWidget->DeleteAllPhotoItem();
    RefreshCount();
}

void QCateListItemWidget::RemoveImageItems(const QStringList& paths)
{
    m_listWidget->RemoveImageItems(paths);
    RefreshCount();
}

QString QCateListItemWidget::GetCaptionText() const
{
    return m_caption->GetText();
}

int QCateListItemWidget::HeightForPictures(int width) const
{
    const QMargins margins = layout()->contentsMargins();
    const int inner = width - margins.left() - margins.right();
    int height = margins.top() + margins.bottom();
    int parts = 0;
    for (QWidget* part : {static_cast<QWidget*>(m_title), static_cast<QWidget*>(m_summary),
                          static_cast<QWidget*>(m_caption)}) {
        if (part->isHidden())
            continue;
        height += part->hasHeightForWidth() ? part->heightForWidth(inner) : part->sizeHint().height();
        ++parts;
    }
    height += m_listWidget->HeightFor(inner, m_listWidget->count());
    height += m_bottom->sizeHint().height();
    parts += 2;
    return height + (parts - 1) * layout()->spacing();
}

int QCateListItemWidget::NameLineWidth() const
{
    const QMargins margins = layout()->contentsMargins();
    return margins.left() + m_bottom->minimumSize().width() + margins.right();
}

void QCateListItemWidget::onAddItemPhotos()
{
    emit autoAddOneItem();
    RefreshCount();
    update();
}

void QCateListItemWidget::onAddPhotoOnes(const QStringList& qstrStringList)
{
    emit markAddPhotoOnes(qstrStringList);
}

void QCateListItemWidget::onSubPhotoOnes()
{
    RefreshCount();
    update();
}

void QCateListItemWidget::RefreshCount()
{
    RefreshSummary();
    m_caption->SetText(QStringLiteral("可拖拽照片至此(已选 %1 张)").arg(m_listWidget->count()));
    // A list that fits its rows to their pictures hears of the new count this way.
    updateGeometry();
}
