// Reading a weather file into the ambient table: the columns a header may name, hourly files,
// and a bad line stopping with its line and column.

#include "auditfile/weatherfile.h"

#include <QtTest>
#include <cmath>

class TestWeatherFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bins();
    void hourlyDryBulbAndHumidity();
    void badFiles_data();
    void badFiles();
};

void TestWeatherFile::bins() {
    const auditfile::Weather w = auditfile::readWeather(
        "\xEF\xBB\xBFstation, Wet_Bulb (oC),hours\r\nA,18.5,1200\r\n\r\nB,22,3000\n , ,\n");
    QVERIFY2(!w.error, qPrintable(w.error ? w.error->describe("f") : QString()));
    QVERIFY(!w.hourly);
    QCOMPARE(w.rows.size(), std::size_t(2));
    QCOMPARE(w.rows[0].wetBulb, 18.5);
    QVERIFY(std::isnan(w.rows[0].dryBulb));
    QCOMPARE(w.rows[1].hours, 3000.0);
}

void TestWeatherFile::hourlyDryBulbAndHumidity() {
    QByteArray data = "date,TDB,RH [%]\n";
    for (int h = 0; h < 8760; ++h)
        data += "2023-01-01," + QByteArray::number(10 + h % 20) + ".5,60\n";
    const auditfile::Weather w = auditfile::readWeather(data);
    QVERIFY(!w.error);
    QVERIFY(w.hourly);
    QCOMPARE(w.rows.size(), std::size_t(8760));
    QCOMPARE(w.rows[3].dryBulb, 13.5);
    QCOMPARE(w.rows[3].relativeHumidity, 60.0);
    QCOMPARE(w.rows[3].hours, 1.0);
}

void TestWeatherFile::badFiles_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << 1 << 0 << "no header: the file is empty";
    QTest::newRow("no wet bulb") << QByteArray("tdb,hours\n20,10\n") << 1 << 0
                                 << "the header names no wet bulb (twb), nor a dry bulb (tdb) "
                                    "with a relative humidity (rh)";
    QTest::newRow("twice") << QByteArray("twb,wet bulb\n") << 1 << 2
                           << "the wet bulb is named twice";
    QTest::newRow("semicolons") << QByteArray("twb;hours\n20,5;10\n") << 1 << 0
                                << "the cells are separated by semicolons: the file must "
                                   "separate them by commas, with a decimal point";
    QTest::newRow("not a number") << QByteArray("twb,hours\n20,10\n\n2x,10\n") << 4 << 1
                                  << "the wet bulb \"2x\" is not a number";
    QTest::newRow("decimal comma") << QByteArray("hours,twb\n10,\"20,5\"\n") << 2 << 2
                                   << "the wet bulb \"20,5\" is not a number";
    QTest::newRow("out of range") << QByteArray("twb,hours\n20,10\n75,10\n") << 3 << 0
                                  << "the wet bulb must lie between -40 and 60 oC";
    QTest::newRow("above dry bulb") << QByteArray("twb,tdb\n25,20\n") << 2 << 0
                                    << "the wet bulb must not lie above the dry bulb";
    QTest::newRow("no humidity") << QByteArray("twb,tdb,rh\n,20,\n") << 2 << 0
                                 << "a row needs a wet bulb, or a dry bulb with a relative "
                                    "humidity";
    QTest::newRow("cells") << QByteArray("twb,hours\n20\n") << 2 << 0
                           << "1 cell where the header has 2";
    QTest::newRow("more than a year") << QByteArray("twb,hours\n20,8000\n21,800\n") << 3 << 0
                                      << "the hours add up to more than a year (8784 h)";
    QTest::newRow("no rows") << QByteArray("twb\n") << 1 << 0
                             << "the file holds no rows below its header";
    QTest::newRow("open quote") << QByteArray("twb\n\"20\n") << 2 << 1
                                << "a quoted cell is never closed";
}

void TestWeatherFile::badFiles() {
    QFETCH(QByteArray, data);
    QFETCH(int, line);
    QFETCH(int, column);
    QFETCH(QString, text);
    const auditfile::Weather w = auditfile::readWeather(data);
    QVERIFY(w.error);
    QVERIFY(w.rows.empty());
    QCOMPARE(w.error->text, text);
    QCOMPARE(w.error->line, line);
    QCOMPARE(w.error->column, column);
}

QTEST_APPLESS_MAIN(TestWeatherFile)
#include "tst_weatherfile.moc"
