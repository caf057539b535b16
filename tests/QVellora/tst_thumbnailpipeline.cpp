// SPDX-License-Identifier: MIT
#include "TestSupport.h"
#include "Thread/CThumbnailPipeline.h"

#include <QAtomicInt>
#include <QTemporaryDir>
#include <QtTest>

// The pipeline on its own, without the worker base class around it: its own promise is that
// nothing is delivered once a stop was requested.
class tst_ThumbnailPipeline : public QObject
{
    Q_OBJECT
private slots:
    void nothingDeliveredAfterStop_data();
    void nothingDeliveredAfterStop();
};

void tst_ThumbnailPipeline::nothingDeliveredAfterStop_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<bool>("pictures");   // real files, or items with nothing to decode (instant)
    QTest::addColumn<int>("stopAfter");   // the stop is requested inside this delivery; -1: before the run
    QTest::addColumn<bool>("fromFileOf"); // requested while item stopAfter + 1 is handed out instead

    for (int workers : {1, 2, 4}) {
        for (bool pictures : {false, true}) {
            const QByteArray name =
                QByteArray::number(workers) + (pictures ? " workers, pictures" : " workers, empty");
            QTest::newRow((name + ", before the run").constData()) << workers << pictures << -1 << false;
            QTest::newRow((name + ", in the first delivery").constData())
                << workers << pictures << 0 << false;
            QTest::newRow((name + ", in delivery 5").constData()) << workers << pictures << 5 << false;
            QTest::newRow((name + ", in delivery 22").constData()) << workers << pictures << 22 << false;
            QTest::newRow((name + ", while handing out item 9").constData())
                << workers << pictures << 8 << true;
        }
    }
}

void tst_ThumbnailPipeline::nothingDeliveredAfterStop()
{
    QFETCH(int, workers);
    QFETCH(bool, pictures);
    QFETCH(int, stopAfter);
    QFETCH(bool, fromFileOf);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const int count = 40;
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << (pictures ? dir.filePath(QStringLiteral("%1.png").arg(i)) : QString());
        if (pictures)
            QVERIFY(TestSupport::writeImage(files.last(), QSize(16 + i, 12)));
    }

    QAtomicInt stop(stopAfter < 0 ? 1 : 0);
    QList<int> delivered;
    QList<int> deliveredAfterStop;
    const CThumbnailPipeline pipeline(QSize(32, 32), workers);
    const bool finished = pipeline.run(
        count,
        [&](int i) {
            if (fromFileOf && i == stopAfter + 1)
                stop.storeRelease(1);
            return files.at(i);
        },
        [&](int i, const QImage& thumbnail) {
            if (stop.loadAcquire())
                deliveredAfterStop << i;
            delivered << i;
            QCOMPARE(thumbnail.isNull(), !pictures);
            if (!fromFileOf && i == stopAfter)
                stop.storeRelease(1);
        },
        [&] { return stop.loadAcquire() != 0; });

    QVERIFY(!finished);
    QCOMPARE(deliveredAfterStop, QList<int>());
    // Everything up to the stop came, in order.
    QVERIFY(delivered.size() >= (fromFileOf ? 0 : stopAfter + 1));
    for (int i = 0; i < delivered.size(); ++i)
        QCOMPARE(delivered.at(i), i);
    if (!fromFileOf)
        QCOMPARE(delivered.size(), stopAfter + 1);
}

QTEST_GUILESS_MAIN(tst_ThumbnailPipeline)
#include "tst_thumbnailpipeline.moc"
