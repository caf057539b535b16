// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>

class QCateColorLabel;
class QCateColorWidget;
class QComboBox;
class QDrawImageButton;
class QHBoxLayout;
class QLabel;
class QPhotoCataListWdiget;

// One category: a caption counting its pictures, its picture list, and a bottom line with the add
// button, the colour square and the name box. The edit page builds rows with everything shown;
// the category page hides the caption, button and colour and locks the name.
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

public slots:
    void onAddItemPhotos();
    void onAddPhotoOnes(const QStringList& qstrStringList);
    void onSubPhotoOnes();

private:
    void RefreshCount();
    // The whole name goes into the tooltip and the title whenever it changes.
    void onNameShown(const QString& name);

    QLabel* m_title;
    QCateColorLabel* m_caption;
    QPhotoCataListWdiget* m_listWidget;
    QComboBox* m_nameBox;
    QCateColorWidget* m_colorWidget;
    QDrawImageButton* m_addButton;
    QHBoxLayout* m_bottom;
    QString m_name;
};
