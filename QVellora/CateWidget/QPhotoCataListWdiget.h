// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>
#include <QStringList>

#include <memory>

class QAction;
class QMenu;
class QPhotoViewImageDlg;

// The pictures of one category: the drop target of drags from the photo grid. Row i of the list
// and entry i of the picture paths always describe the same picture, and no path is there twice.
// It owns one viewer, which it steps through its pictures.
class QPhotoCataListWdiget : public QListWidget
{
    Q_OBJECT
public:
    explicit QPhotoCataListWdiget(int itemSize, QWidget* parent = nullptr);
    ~QPhotoCataListWdiget() override;

    // Adds a picture from program code unless the pointer is null, the path null or already here.
    // The item shows its own copy; the caller keeps the picture.
    void AddImageItem(QPixmap* picture, const QString& path);
    QStringList GetImagePaths() const { return m_imagePaths; }
    // Removes every picture; subPhotoOnes carries their paths, last row first.
    void DeleteAllPhotoItem();

    int GetCurrentRow() const { return m_currentRow; }
    QPhotoViewImageDlg* GetViewImageDlg() const { return m_viewDlg.get(); }
    QSize sizeHint() const override;

signals:
    void hadAddPhotos();
    void addPhotoOnes(QStringList qstrPathList);
    void subPhotoOnes(QStringList qstrPathList);
    void subPhotoOnesText();

public slots:
    void onGetPreImage();
    void onGetNextImage();
    void onGetCompareImage();

private slots:
    void onDelImageItem();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Appends a row unless the path is already here; returns whether it did.
    bool AppendPicture(const QPixmap& picture, const QString& path);
    void RemoveRow(int row);
    void DeleteSelectedItems();
    // Moves the current row by step, clamped; false while the list and the paths disagree.
    bool StepCurrentRow(int step);
    void onShowImageView();

    QMenu* m_menu;
    QAction* m_deleteAction;
    int m_currentRow = -1;
    std::unique_ptr<QPhotoViewImageDlg> m_viewDlg;
    int m_itemSize;
    QStringList m_imagePaths;
};
