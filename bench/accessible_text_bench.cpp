// SPDX-License-Identifier: MIT
// accessible_text_bench [ROWS]: what a screen reader asks of a grid of ROWS pictures (40000 by
// default) sorted into twelve categories, every picture in two or three of them. The texts are
// made when asked, so this is what asking costs: every row's accessible text, then every row's
// tooltip (the accessible description), each pass timed on its own, the best of three. The last
// line:
//   accessible text: N rows, A ms (B us a row); tooltip: C ms (D us a row)
#include "Pictures/CPictureListModel.h"
#include "Selection/CSelection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

namespace {

// The fastest of three passes over every row, in milliseconds; total keeps the texts' lengths
// so the work cannot be left out.
double bestPass(const CPictureListModel& model, int role, qint64* total)
{
    double best = 1e9;
    for (int pass = 0; pass < 3; ++pass) {
        QElapsedTimer timer;
        timer.start();
        for (int row = 0; row < model.rowCount(); ++row)
            *total += model.data(model.index(row), role).toString().size();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 40000;
    QStringList paths;
    paths.reserve(rows);
    for (int i = 0; i < rows; ++i)
        paths << QStringLiteral("/home/user/Pictures/2024 trip/IMG_%1.JPG").arg(i, 6, 10, QLatin1Char('0'));
    CSelection selection;
    for (int category = 0; category < 12; ++category) {
        selection.addCategory(QStringLiteral("类别%1").arg(category + 1));
        QStringList held;
        for (int i = category; i < rows; i += 5)
            held << paths.at(i);
        selection.addPictures(category, held);
    }
    CPictureListModel model;
    model.setSelection(&selection);
    model.setItems({}, paths);
    for (int i = 0; i < rows; i += 3)
        model.setTicked(i, true);

    qint64 total = 0;
    const double text = bestPass(model, Qt::AccessibleTextRole, &total);
    const double tip = bestPass(model, Qt::ToolTipRole, &total);
    QTextStream(stdout) << "accessible text: " << rows << " rows, " << QString::number(text, 'f', 1)
                        << " ms (" << QString::number(text * 1000 / rows, 'f', 2)
                        << " us a row); tooltip: " << QString::number(tip, 'f', 1) << " ms ("
                        << QString::number(tip * 1000 / rows, 'f', 2) << " us a row)"
                        << (total > 0 ? "" : " (no text)") << "\n";
    return 0;
}
