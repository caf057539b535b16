// SPDX-License-Identifier: MIT
#pragma once

#include "CateWidget/QPhotoCataListWdiget.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

class QCateColorLabel;
class QCateColorWidget;
class QComboBox;
class QDrawImageButton;
class QHBoxLayout;
class QLabel;

// One category: a caption counting its pictures, its picture list, and a bottom line with the add
// button, the colour square, the name box and the print size box. The edit page builds rows with
// everything shown; the category page hides the caption, button and colour, locks the name and
// the print size, and shows a line counting the pictures that print acceptably and poorly.
class QCateListItemWidget : public QWidget
{
    Q_OBJECT
public:
    QCateListItemWidget(int itemSize, bool hideCaption, bool hideAddButton, bool hideColour, bool lockName,
                        QWidget* parent = nullptr);

    // What the name box of a new row shows until the user names it ("点击命名").
    static QString DefaultName();
    // Reads the name box's current text (what the user typed or picked).
    QString GetCateName();
    // Replaces the text of the first name-box entry and shows it in the field.
    void SetCateName(const QString& name);
    QColor GetCateColor() const;
    void SetCateColor(const QColor& color);
    QPhotoCataListWdiget* GetListWidget() const { return m_listWidget; }
    // Shows the category's print size (the box and the tiles' badges); announces nothing.
    void SetPrintSize(const QString& key);
    QString GetPrintSize() const;
    void SetFactsLookup(QPhotoCataListWdiget::FactsLookup lookup);
    // "6寸 · 2 张清晰度一般 · 1 张清晰度不足"; the size alone when every known picture prints well.
    QString GetPrintSummary() const;
    void AddImageItem(QPixmap* picture, const QString& path);
    void AddImageItems(const QList<QPixmap*>& pictures, const QStringList& paths);
    void ClearImageItems();
    // Takes these pictures out of the list (those it holds).
    void RemoveImageItems(const QStringList& paths);
    QString GetCaptionText() const;
    // The title above the pictures, shown only where the name is locked.
    QString GetTitleText() const;
    // The height that shows all of the row's pictures at this width (the title wrapped).
    int HeightForPictures(int width) const;
    // The narrowest row that shows its bottom line (button, colour and name box) whole.
    int NameLineWidth() const;
    // A name box wide enough for a name of twenty characters in the box's font.
    static int NameBoxWidth(const QComboBox* box);

signals:
    void autoAddOneItem();
    void markAddPhotoOnes(QStringList qstrPathList);
    void markSubPhotoOnes(QStringList qstrPathList);
    void checkAddNewItem();
    // The name box's text changed, by typing, by a pick from its list or by SetCateName.
    void cateNameChanged(QString qstrName);
    // The user picked a print size in the box.
    void printSizePicked(QString key);

public slots:
    void onAddItemPhotos();
    void onAddPhotoOnes(const QStringList& qstrStringList);
    void onSubPhotoOnes();

private:
    void RefreshCount();
    void RefreshSummary();
    // The whole name goes into the tooltip and the title whenever it changes.
    void onNameShown(const QString& name);

    QLabel* m_title;
    QCateColorLabel* m_caption;
    QPhotoCataListWdiget* m_listWidget;
    QComboBox* m_nameBox;
    QComboBox* m_sizeBox;
    QLabel* m_summary;
    QCateColorWidget* m_colorWidget;
    QDrawImageButton* m_addButton;
    QHBoxLayout* m_bottom;
    QString m_name;
};
