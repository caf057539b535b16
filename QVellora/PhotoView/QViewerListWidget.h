// SPDX-License-Identifier: MIT
#pragma once

#include <QListWidget>

#include <memory>

class QPhotoViewImageDlg;

// What the photo grid and a category's picture list share: each owns one large-image viewer and
// steps it through its own rows when the viewer's previous, next and compare buttons ask. The
// subclass says how many rows can be viewed and which path a row stands for.
class QViewerListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit QViewerListWidget(QWidget* parent = nullptr);
    ~QViewerListWidget() override;

    int GetCurrentRow() const { return m_currentRow; }
    QPhotoViewImageDlg* GetViewImageDlg() const { return m_viewDlg.get(); }

public slots:
    // Previous: row - 1; next and compare: row + 1; clamped first to at least 0, then to the last
    // viewable row. Nothing happens while no row can be viewed.
    void onGetPreImage();
    void onGetNextImage();
    void onGetCompareImage();
    // Shows the current row's picture in the viewer, modally; nothing for a row outside the list.
    void onShowImageView();

protected:
    void SetCurrentRow(int row) { m_currentRow = row; }
    // Rows 0 .. ViewableCount() - 1 can be shown; 0 stops all stepping.
    virtual int ViewableCount() const = 0;
    virtual QString ViewablePath(int row) const = 0;

private:
    bool StepCurrentRow(int step);

    int m_currentRow = -1;
    std::unique_ptr<QPhotoViewImageDlg> m_viewDlg;
};
