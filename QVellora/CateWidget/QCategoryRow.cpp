// SPDX-License-Identifier: MIT
#include "CateWidget/QCategoryRow.h"

#include "CateWidget/QCateColorWidget.h"
#include "CateWidget/QCategoryPicturesView.h"
#include "Editing/QSelectionEditor.h"
#include "OtherWidget/CCaptionedPixmap.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"
#include "Pictures/CPrintSize.h"
#include "Selection/CCategoryPictures.h"
#include "Selection/CSelection.h"

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

QCategoryRow::QCategoryRow(QSelectionEditor* editor, int category, QCategoryColumn::Mode mode, int itemSize,
                           QWidget* parent)
    : QWidget(parent), m_editor(editor), m_selection(editor->selection()), m_category(category),
      m_pictures(new CCategoryPictures(editor->selection(), category, this)), m_title(new QLabel(this)),
      m_summary(new QLabel(this)), m_caption(new QLabel(this)),
      m_view(new QCategoryPicturesView(m_pictures, editor, itemSize)), m_nameBox(new QComboBox(this)),
      m_sizeBox(new QComboBox(this)),
      m_colour(new QCateColorWidget([this] { return m_selection->at(m_category).color; }, this)),
      m_addButton(
          new QDrawImageButton(CCaptionedPixmap::get(QStringLiteral(":/image/new_button/new_item.png"),
                                                     QT_TRANSLATE_NOOP("CCaptionedPixmap", "新建"),
                                                     CCaptionedPixmap::Face::SecondaryButton),
                               this))
{
    const bool editing = mode == QCategoryColumn::Mode::Editing;
    m_title->setObjectName(QStringLiteral("title"));
    m_summary->setObjectName(QStringLiteral("printSummary"));
    m_caption->setObjectName(QStringLiteral("caption"));
    m_view->setObjectName(QStringLiteral("pictures"));
    m_nameBox->setObjectName(QStringLiteral("nameBox"));
    m_sizeBox->setObjectName(QStringLiteral("printSizeBox"));
    m_colour->setObjectName(QStringLiteral("colour"));
    m_addButton->setObjectName(QStringLiteral("addCategory"));

    // Where the name cannot be edited it is shown whole above the pictures.
    m_title->setWordWrap(true);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setVisible(!editing);
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_summary->setVisible(!editing);
    m_caption->setVisible(editing);
    QPalette captionColours = m_caption->palette();
    captionColours.setColor(QPalette::WindowText, Qt::blue);
    m_caption->setPalette(captionColours);

    m_nameBox->setEditable(true);
    m_nameBox->setMinimumWidth(nameBoxWidth(m_nameBox));
    m_nameBox->addItem(QIcon(), QSelectionEditor::shownName(m_selection->at(category).name));
    for (const QString& name : {tr("朋友"), tr("家人"), tr("旅游"), tr("聚会")})
        m_nameBox->addItem(QIcon(), name);
    m_nameBox->setEnabled(editing);
    showName(m_selection->at(category).name);
    // Typing and picking rename the category, one step (successive keystrokes merge).
    connect(m_nameBox, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        m_nameBox->setToolTip(name);
        m_title->setText(name);
        if (m_editor)
            m_editor->rename(m_category, QSelectionEditor::storedName(name));
        showAccessibleText();
    });
    // While the user types, the box shows the name already: it is left alone, cursor and all.
    connect(m_selection, &CSelection::renamed, this, [this](int row, const QString& name) {
        if (row == m_category && m_nameBox->currentText() != QSelectionEditor::shownName(name))
            showName(name);
    });

    for (const CPrintSize& size : CPrintSize::all())
        m_sizeBox->addItem(size.label(), size.key());
    m_sizeBox->setToolTip(tr("打印尺寸"));
    m_sizeBox->setEnabled(editing);
    showPrintSize();
    connect(m_sizeBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (m_editor)
            m_editor->setPrintSize(m_category, m_sizeBox->itemData(index).toString());
    });
    connect(m_selection, &CSelection::printSizeChanged, this, [this](int row) {
        if (row == m_category)
            showPrintSize();
    });
    connect(m_pictures, &CCategoryPictures::picturesChanged, this, &QCategoryRow::showCounts);
    showCounts();

    m_colour->setFixedSize(20, 20);
    m_colour->setVisible(editing);
    m_addButton->setFixedSize(57, 26);
    m_addButton->setVisible(editing);
    connect(m_addButton, &QDrawImageButton::clicked, this, [this] {
        if (m_editor)
            m_editor->addCategory();
    });

    m_bottom = new QHBoxLayout;
    m_bottom->addWidget(m_addButton);
    m_bottom->addStretch(200);
    m_bottom->addWidget(m_colour);
    m_bottom->addWidget(m_nameBox);
    m_bottom->addWidget(m_sizeBox);
    m_bottom->addStretch(200);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_summary);
    layout->addWidget(m_caption);
    layout->addWidget(m_view);
    layout->addLayout(m_bottom);
}

void QCategoryRow::showName(const QString& stored)
{
    const QString name = QSelectionEditor::shownName(stored);
    const QSignalBlocker quiet(m_nameBox);
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
    m_nameBox->setToolTip(name);
    m_title->setText(name);
    showAccessibleText();
}

void QCategoryRow::showPrintSize()
{
    const QSignalBlocker quiet(m_sizeBox);
    m_sizeBox->setCurrentIndex(
        m_sizeBox->findData(CPrintSize::byKey(m_selection->at(m_category).printSize).key()));
    showCounts();
}

void QCategoryRow::showCounts()
{
    QStringList parts{CPrintSize::byKey(m_selection->at(m_category).printSize).label()};
    const int acceptable = m_pictures->countBadges(CCategoryPictures::Badge::Acceptable);
    const int poor = m_pictures->countBadges(CCategoryPictures::Badge::Poor);
    if (acceptable > 0)
        parts.append(tr("%1 张清晰度一般").arg(acceptable));
    if (poor > 0)
        parts.append(tr("%1 张清晰度不足").arg(poor));
    m_summary->setText(parts.join(QStringLiteral(" · ")));
    m_caption->setText(tr("可拖拽照片至此(已选 %1 张)").arg(m_pictures->rowCount()));
    showAccessibleText();
    // A column that fits its rows to their pictures hears of the new count this way.
    updateGeometry();
}

void QCategoryRow::showAccessibleText()
{
    const QString name = m_selection->at(m_category).name.trimmed();
    setAccessibleName(name.isEmpty() ? tr("第 %1 类").arg(m_category + 1) : CSelection::shownName(name));
    // The print size as the box shows it to the user.
    setAccessibleDescription(
        tr("%n 张照片，打印尺寸 %1", nullptr, m_pictures->rowCount()).arg(m_sizeBox->currentText()));
    emit accessibleTextChanged();
}

int QCategoryRow::nameBoxWidth(const QComboBox* box)
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

int QCategoryRow::heightForPictures(int width) const
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
    height += m_view->heightFor(inner, m_pictures->rowCount());
    height += m_bottom->sizeHint().height();
    parts += 2;
    return height + (parts - 1) * layout()->spacing();
}

int QCategoryRow::nameLineWidth() const
{
    const QMargins margins = layout()->contentsMargins();
    return margins.left() + m_bottom->minimumSize().width() + margins.right();
}
