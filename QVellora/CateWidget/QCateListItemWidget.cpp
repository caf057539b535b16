// SPDX-License-Identifier: MIT
#include "CateWidget/QCateListItemWidget.h"

#include "CateWidget/QCateColorLabel.h"
#include "CateWidget/QCateColorWidget.h"
#include "CateWidget/QPhotoCataListWdiget.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

QCateListItemWidget::QCateListItemWidget(int itemSize, bool hideCaption, bool hideAddButton, bool hideColour,
                                         bool lockName, QWidget* parent)
    : QWidget(parent), m_caption(new QCateColorLabel(this)), m_listWidget(new QPhotoCataListWdiget(itemSize)),
      m_nameBox(new QComboBox(this)), m_colorWidget(new QCateColorWidget(this)),
      m_addButton(
          new QDrawImageButton(CSharedPixmap::get(QStringLiteral(":/image/new_button/new_item.png")), this))
{
    m_caption->setVisible(!hideCaption);

    connect(m_listWidget, &QPhotoCataListWdiget::hadAddPhotos, this, &QCateListItemWidget::onAddItemPhotos);
    connect(m_listWidget, &QPhotoCataListWdiget::addPhotoOnes, this, &QCateListItemWidget::onAddPhotoOnes);
    connect(m_listWidget, &QPhotoCataListWdiget::subPhotoOnes, this, &QCateListItemWidget::markSubPhotoOnes);
    connect(m_listWidget, &QPhotoCataListWdiget::subPhotoOnesText, this,
            &QCateListItemWidget::onSubPhotoOnes);

    m_nameBox->setEditable(true);
    m_nameBox->setMinimumWidth(100);
    m_nameBox->addItem(QIcon(), DefaultName());
    for (const char* name : {"朋友", "家人", "旅游", "聚会"})
        m_nameBox->addItem(QIcon(), QString::fromUtf8(name));
    m_nameBox->setEnabled(!lockName);
    connect(m_nameBox, &QComboBox::currentTextChanged, this, &QCateListItemWidget::cateNameChanged);

    m_colorWidget->SetColor(QColor(255, 0, 0, 255));
    m_colorWidget->setMaximumSize(20, 20);
    m_colorWidget->setVisible(!hideColour);

    m_addButton->setFixedSize(57, 26);
    connect(m_addButton, &QDrawImageButton::clicked, this, &QCateListItemWidget::checkAddNewItem);
    m_addButton->setVisible(!hideAddButton);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_addButton);
    bottom->addStretch(200);
    bottom->addWidget(m_colorWidget);
    bottom->addWidget(m_nameBox);
    bottom->addStretch(200);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_listWidget);
    layout->addLayout(bottom);
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
    update();
}

QColor QCateListItemWidget::GetCateColor() const
{
    return m_colorWidget->GetColor();
}

void QCateListItemWidget::SetCateColor(const QColor& color)
{
    m_colorWidget->SetColor(color);
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
    m_caption->SetText(QStringLiteral("可拖拽照片至此(已选 %1 张)").arg(m_listWidget->count()));
}
