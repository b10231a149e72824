#include "ActivationMap.h"
#include "AverageExport.h"
#include "AverageGraph.h"
#include "AveragePanel.h"
#include "AverageTable.h"
#include "AverageView.h"
#include "HeadModel.h"
#include "RecordLayout.h"
#include "RecordWriter.h"
#include "RecordsSettings.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>

namespace {

constexpr double Rate = 10;

// A response of `samples` samples from −5 s whose channel c has HbO = oxy[c] · shape(t) and HbR = −oxy[c] / 3 ·
// shape(t), shape a plateau of 1 from 5 to 15 s; the standard error a tenth of |HbO| + 0.01.
EpochAverage::Response response(const QString& condition, const std::vector<double>& oxy, int marks = 12)
{
    EpochAverage::Response r;
    r.condition = condition;
    r.rate = Rate;
    r.firstOffset = -50;
    r.marks = marks;
    r.records = marks > 0 ? 1 : 0;
    if (marks == 0) {
        r.problem = condition + QStringLiteral(": no mark of this condition");
        return r;
    }
    const std::size_t samples = 251;
    for (const double peak : oxy) {
        for (const double scale : { peak, -peak / 3 }) {
            std::vector<double> mean(samples);
            std::vector<double> error(samples);
            for (std::size_t i = 0; i < samples; ++i) {
                const double t = r.time(i);
                mean[i] = t >= 5 && t <= 15 ? scale : 0;
                error[i] = 0.1 * std::abs(mean[i]) + 0.01;
            }
            r.mean.push_back(mean);
            r.standardError.push_back(error);
        }
    }
    return r;
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Nine significant digits, as %.9g writes them.
bool sameNumber(const QString& field, double value)
{
    bool ok = false;
    const double read = field.toDouble(&ok);
    return ok && std::abs(read - value) <= 1e-8 * std::abs(value);
}

// The response of a condition among those a view shows; null when it shows none.
const EpochAverage::Response* shownResponse(const AverageView* view, const QString& condition)
{
    for (const EpochAverage::Response& r : view->shown()) {
        if (r.condition == condition)
            return &r;
    }
    return nullptr;
}

double luminance(const QColor& color)
{
    return 0.299 * color.redF() + 0.587 * color.greenF() + 0.114 * color.blueF();
}

QImage image(QWidget* widget)
{
    QImage picture(widget->size(), QImage::Format_RGB32);
    widget->render(&picture);
    return picture;
}

// A record of the virtual head as the emulator's head signal gives it: channels 1–4 (the first half) answer every
// mark with a haemodynamic response, 5–8 do not. Marks "F1" every 20 s from 20 s; one "F2" at 1 s, before any
// window fits.
QString writeHeadRecord(const QString& folder, const QString& name, quint64 seed, const QString& condition = "F1")
{
    HeadModel::Settings settings;
    settings.channels = 8;
    settings.rate = Rate;
    settings.badChannelEvery = 0;
    settings.seed = seed;
    HeadModel head(settings);
    RecordLayout layout;
    layout.variant = RecordLayout::Acquire_RIR;
    layout.channelCount = settings.channels;
    layout.useMontage = true;
    layout.montageText = QStringLiteral("1=A1;2=A2;3=A3;4=A4\n5=B1;6=B2;7=B3;8=B4");
    RecordWriter writer;
    const QString path = QDir(folder).filePath(name + QStringLiteral(".csv"));
    if (!writer.open(path, layout))
        return QString();
    std::vector<double> values(size_t(2 * settings.channels));
    QList<double> line;
    const int samples = int(600 * Rate);
    for (int k = 0; k < samples; ++k) {
        const qint64 elapsed = qint64(std::llround(head.time() * 1000));
        if (k > 0 && k % int(20 * Rate) == 0 && head.time() < 580) {
            head.stimulate(head.time());
            writer.writeEvent(elapsed, QStringLiteral("key"), condition);
        }
        if (k == int(Rate))
            writer.writeEvent(elapsed, QStringLiteral("key"), QStringLiteral("F2"));
        head.next(values.data(), 2);
        line = QList<double>(values.cbegin(), values.cend());
        if (writer.writeRaw(elapsed, line) != RecordWriter::Result::Written)
            return QString();
    }
    writer.close();
    return path;
}

} // namespace

class TestAveragePanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void curvePaths_data();
    void curvePaths();
    void graphDrawsConditions();
    void mapColours_data();
    void mapColours();
    void csvExport_data();
    void csvExport();
    void svgExport();
    void headRecord();
    void settingsRecompute_data();
    void settingsRecompute();
    void newRecordsCancel();
    void themes_data();
    void themes();

private:
    std::unique_ptr<TemporaryHome> m_home;
    QString m_recordA;
    QString m_recordB;
};

void TestAveragePanel::initTestCase()
{
    m_home = std::make_unique<TemporaryHome>();
    QDir().mkpath(m_home->dataFolder());
    m_recordA = writeHeadRecord(m_home->dataFolder(), QStringLiteral("a"), 1);
    m_recordB = writeHeadRecord(m_home->dataFolder(), QStringLiteral("b"), 2);
    QVERIFY(!m_recordA.isEmpty() && !m_recordB.isEmpty());
}

void TestAveragePanel::curvePaths_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<int>("pieces");
    const double nan = std::nan("");
    QTest::newRow("whole") << QList<double> { 0, 1, 2, 1 } << 1;
    QTest::newRow("broken by a gap") << QList<double> { 0, 1, nan, nan, 2, 1 } << 2;
    QTest::newRow("starts in a gap") << QList<double> { nan, 1, 2 } << 1;
    QTest::newRow("all missing") << QList<double> { nan, nan } << 0;
}

// The curve passes through every sample at its time and value, and leaves out the missing ones.
void TestAveragePanel::curvePaths()
{
    QFETCH(QList<double>, values);
    QFETCH(int, pieces);
    EpochAverage::Response r;
    r.rate = 2;
    r.firstOffset = -1;
    r.marks = 3;
    r.mean = { std::vector<double>(values.cbegin(), values.cend()) };
    r.standardError = { std::vector<double>(values.size(), 0.5) };
    AverageGraph::Frame frame { QRectF(10, 20, 300, 100), -0.5, 2.5, -1, 3 };
    const QPainterPath path = AverageGraph::curvePath(r, 0, frame);
    int starts = 0;
    int point = 0;
    for (int i = 0; i < values.size(); ++i) {
        if (std::isnan(values[i]))
            continue;
        QVERIFY(point < path.elementCount());
        const QPainterPath::Element element = path.elementAt(point++);
        starts += element.isMoveTo() ? 1 : 0;
        const QPointF expected = frame.map(r.time(size_t(i)), values[i]);
        QCOMPARE(QPointF(element), expected);
    }
    QCOMPARE(point, path.elementCount());
    QCOMPARE(starts, pieces);
    // The band reaches the standard error above and below the curve.
    const QRectF band = AverageGraph::bandPath(r, 0, frame).boundingRect();
    if (pieces > 0 && std::count_if(values.cbegin(), values.cend(), [](double v) { return !std::isnan(v); }) > 1)
        QVERIFY(band.height() > path.boundingRect().height());
}

// Two conditions on one graph: each in its colour, the rising one above the falling one; a condition without
// marks says so instead of a curve.
void TestAveragePanel::graphDrawsConditions()
{
    auto responses = std::make_shared<std::vector<EpochAverage::Response>>();
    responses->push_back(response(QStringLiteral("F1"), { 1, 0 }));
    responses->push_back(response(QStringLiteral("F2"), { -1, 0 }));
    responses->push_back(response(QStringLiteral("F3"), { 0, 0 }, 0));
    AverageGraph graph;
    graph.resize(500, 300);
    const std::vector<QColor> colors { AverageGraph::conditionColor(0), AverageGraph::conditionColor(1),
        AverageGraph::conditionColor(2) };
    graph.setCurves({ responses, colors, 0, QStringLiteral("A1"), -5, 0 });
    QVERIFY(graph.messages().join(' ').contains(QStringLiteral("F3: no mark")));

    const QImage picture = image(&graph);
    double sum[2] = { 0, 0 };
    int count[2] = { 0, 0 };
    // The right half holds the curves from about 7 s on, no legend.
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = picture.width() / 2; x < picture.width(); ++x) {
            for (int c = 0; c < 2; ++c) {
                if (near(picture.pixelColor(x, y), colors[size_t(c)], 12)) {
                    sum[c] += y;
                    ++count[c];
                }
            }
        }
    }
    QVERIFY2(count[0] > 50 && count[1] > 50, qPrintable(QStringLiteral("%1 %2").arg(count[0]).arg(count[1])));
    QVERIFY(sum[0] / count[0] < sum[1] / count[1]);
}

void TestAveragePanel::mapColours_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("rise") << 1.0 << "warm";
    QTest::newRow("half a rise") << 0.5 << "warm";
    QTest::newRow("no change") << 0.0 << "neutral";
    QTest::newRow("fall") << -0.8 << "cold";
    QTest::newRow("no value") << std::nan("") << "neutral";
}

// A cell of the map takes the colour of its value: warm for a rise, cold for a fall, neutral for none.
void TestAveragePanel::mapColours()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    ActivationMap map;
    map.resize(400, 260);
    map.setCells(ActivationMap::arrange({ 1, 2 }, { QStringLiteral("X"), QStringLiteral("Y") }, {}));
    // The other channel's −1 sets the scale to ±1.
    map.setValues({ value, -1.0 }, QStringLiteral("F1"), { QStringLiteral("tip"), QString() });
    QCOMPARE(map.limit(), 1.0);
    const QRectF cell = map.cellRect(0, map.size());
    const QColor color = image(&map).pixelColor(cell.toRect().topLeft() + QPoint(8, 8));
    const int warmth = color.red() - color.blue();
    if (expected == QLatin1String("warm"))
        QVERIFY2(warmth > 60, qPrintable(color.name()));
    else if (expected == QLatin1String("cold"))
        QVERIFY2(warmth < -60, qPrintable(color.name()));
    else
        QVERIFY2(std::abs(warmth) < 20 && std::abs(color.green() - color.red()) < 20, qPrintable(color.name()));
}

void TestAveragePanel::csvExport_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("field");
    QTest::newRow("one record: n is the marks") << 1 << "F1"
                                                << "F1";
    QTest::newRow("grand average: n is the records") << 3 << "F1"
                                                     << "F1";
    QTest::newRow("a separator in the text is quoted") << 1 << "a;\"b\""
                                                       << "\"a;\"\"b\"\"\"";
}

// Every number of the CSV is the response's, in the command line's columns; a condition without marks has no line.
void TestAveragePanel::csvExport()
{
    QFETCH(int, records);
    QFETCH(QString, condition);
    QFETCH(QString, field);
    std::vector<EpochAverage::Response> responses { response(condition, { 0.123456789, -2.5 }, 17),
        response(QStringLiteral("none"), {}, 0) };
    responses[0].records = records;
    responses[0].standardError[3][7] = std::nan("");
    const QList<QByteArray> lines = AverageTable::curves(responses, { 3, 9 }).split('\n');
    QCOMPARE(lines.first(), QByteArray("condition;time_s;n;HbO3;HbO3_se;HbR3;HbR3_se;HbO9;HbO9_se;HbR9;HbR9_se"));
    const EpochAverage::Response& r = responses[0];
    QCOMPARE(lines.size(), int(r.mean[0].size()) + 2);
    QCOMPARE(lines.last(), QByteArray());
    for (std::size_t i = 0; i < r.mean[0].size(); ++i) {
        const QString text = QString::fromUtf8(lines[qsizetype(i) + 1]);
        QVERIFY2(text.startsWith(field + QLatin1Char(';')), qPrintable(text));
        const QStringList fields = text.mid(field.size() + 1).split(QLatin1Char(';'));
        QCOMPARE(fields.size(), 2 + 4 * 2);
        QCOMPARE(fields[0].toDouble(), r.time(i));
        QCOMPARE(fields[1].toInt(), records > 1 ? records : 17);
        for (std::size_t s = 0; s < 4; ++s) {
            QVERIFY(sameNumber(fields[int(2 + 2 * s)], r.mean[s][i]));
            if (s == 3 && i == 7)
                QCOMPARE(fields[int(3 + 2 * s)], QStringLiteral("nan"));
            else
                QVERIFY(sameNumber(fields[int(3 + 2 * s)], r.standardError[s][i]));
        }
    }
}

// The view as SVG: well-formed XML whose paths draw each chosen condition's curves in its colour; as PNG a picture
// of the view.
void TestAveragePanel::svgExport()
{
    AverageView view;
    view.resize(900, 700);
    const QStringList all { QStringLiteral("F1"), QStringLiteral("F2") };
    AverageView::Selection selection;
    selection.conditions = all;
    selection.channels = { 0, 1 };
    selection.mapCondition = QStringLiteral("F1");
    view.show(
        { response("F1", { 1, 0 }), response("F2", { -1, 0.5 }) }, all, { { 1, "A1" }, { 2, "A2" } }, {}, selection);
    QCOMPARE(view.graphs().size(), 2);
    QVERIFY(!view.map()->isHidden());
    const QString svg = QDir(m_home->path()).filePath(QStringLiteral("view.svg"));
    QString error;
    QVERIFY2(AverageExport::writeSvg(&view, svg, QStringLiteral("Averages"), &error), qPrintable(error));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    // The pen of a path is on the group around it.
    QMap<QString, int> strokes;
    QStringList groups { QString() };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QString stroke = xml.attributes().value(QLatin1String("stroke")).toString().toLower();
        if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("g"))
            groups.append(stroke.isEmpty() ? groups.last() : stroke);
        else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("g"))
            groups.removeLast();
        else if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("path"))
            ++strokes[stroke.isEmpty() ? groups.last() : stroke];
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    for (int c = 0; c < 2; ++c)
        QVERIFY2(strokes.value(AverageGraph::conditionColor(c).name()) >= 4,
            qPrintable(AverageGraph::conditionColor(c).name()));

    const QString png = QDir(m_home->path()).filePath(QStringLiteral("view.png"));
    QVERIFY2(AverageExport::writePng(&view, png, &error), qPrintable(error));
    QCOMPARE(QImage(png).size(), view.size() * 2);
    QVERIFY(!AverageExport::writePng(&view, QStringLiteral("/nonexistent/folder/view.png"), &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent/folder/view.png")));
}

// On the virtual head the map shows the stimulated half warm and the other neutral; a condition whose only mark
// lies before any window fits gets a message, not a curve.
void TestAveragePanel::headRecord()
{
    RecordsSettings settings(QDir(m_home->path()).filePath(QStringLiteral("head.xml")));
    AveragePanel panel(&settings);
    panel.resize(1200, 900);
    QSignalSpy done(&panel, &AveragePanel::averaged);
    panel.setRecords({ m_recordA });
    QVERIFY(done.wait(20000));
    QCOMPARE(panel.conditions(), QStringList({ "F2", "F1" }));
    panel.setChosenConditions({ "F1" });
    AverageView* view = panel.view();
    QCOMPARE(view->graphs().size(), 8);
    ActivationMap* map = view->map();
    QCOMPARE(map->cells().size(), 8);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const QImage picture = image(map);
    for (int i = 0; i < map->cells().size(); ++i) {
        const ActivationMap::Cell& cell = map->cells().at(i);
        // Row 0 of the montage holds the channels 1–4, the stimulated half.
        const bool active = cell.row == 0;
        QCOMPARE(active, cell.index < 4);
        const QColor color = picture.pixelColor(map->cellRect(i, picture.size()).toRect().topLeft() + QPoint(8, 8));
        const double value = map->values()[size_t(cell.index)];
        if (active)
            QVERIFY2(color.red() - color.blue() > 60 && value > 0.2, qPrintable(color.name()));
        else
            QVERIFY2(std::abs(color.red() - color.blue()) < 40 && std::abs(value) < 0.1, qPrintable(color.name()));
    }

    panel.setChosenConditions({ "F2" });
    QVERIFY(!view->message().isEmpty());
    QVERIFY(view->graphs().first()->messages().join(' ').contains(QStringLiteral("F2")));
}

void TestAveragePanel::settingsRecompute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("samples"); // of the new average; 0: the settings give none
    QTest::newRow("shorter window") << "AverageTo" << 10.0 << 151;
    QTest::newRow("earlier start") << "AverageFrom" << -8.0 << 281;
    QTest::newRow("window ends before it starts") << "AverageTo" << -6.0 << 0;
    QTest::newRow("band above the Nyquist frequency") << "AverageBandHigh" << 8.0 << 0;
}

// A changed setting starts a new average (once, after the changes settle); settings that give none say why.
void TestAveragePanel::settingsRecompute()
{
    QFETCH(QString, name);
    QFETCH(double, value);
    QFETCH(int, samples);
    RecordsSettings settings(QDir(m_home->path()).filePath(QStringLiteral("recompute.xml")));
    settings.setAverageBand(name.startsWith(QLatin1String("AverageBand")));
    AveragePanel panel(&settings);
    QSignalSpy done(&panel, &AveragePanel::averaged);
    panel.setRecords({ m_recordA });
    QVERIFY(done.wait(20000));
    panel.setChosenConditions({ "F1" });
    QCOMPARE(panel.view()->shown().front().mean.front().size(), size_t(251));
    QVERIFY(settings.setProperty(name.toLatin1().constData(), value));
    QVERIFY(panel.isBusy());
    QVERIFY(done.wait(20000));
    QCOMPARE(done.size(), 2);
    if (samples == 0) {
        QVERIFY(!panel.view()->message().isEmpty());
        QVERIFY(panel.view()->graphs().isEmpty());
    } else {
        QCOMPARE(panel.view()->shown().front().mean.front().size(), size_t(samples));
    }
}

// Records that change while an average runs replace it: only the last ones are shown; several records give the
// grand average.
void TestAveragePanel::newRecordsCancel()
{
    const QString other = writeHeadRecord(m_home->dataFolder(), QStringLiteral("c"), 3, QStringLiteral("F5"));
    RecordsSettings settings(QDir(m_home->path()).filePath(QStringLiteral("cancel.xml")));
    AveragePanel panel(&settings);
    QSignalSpy done(&panel, &AveragePanel::averaged);
    panel.setRecords({ other });
    panel.setRecords({ m_recordA, m_recordB });
    QVERIFY(done.wait(20000));
    QTRY_VERIFY(!panel.isBusy());
    QCOMPARE(done.size(), 1);
    QCOMPARE(panel.conditions(), QStringList({ "F2", "F1" }));
    const EpochAverage::Response* grand = shownResponse(panel.view(), QStringLiteral("F1"));
    QVERIFY(grand);
    QCOMPARE(grand->records, 2);
    QVERIFY(panel.status().contains(QLatin1Char('2')));

    // A record that cannot be read is named; the others are averaged.
    const QString missing = QDir(m_home->dataFolder()).filePath(QStringLiteral("missing.csv"));
    panel.setRecords({ m_recordA, missing });
    QVERIFY(done.wait(20000));
    QVERIFY2(panel.status().contains(QStringLiteral("missing.raw")), qPrintable(panel.status()));
    QCOMPARE(shownResponse(panel.view(), QStringLiteral("F1"))->records, 1);
}

void TestAveragePanel::themes_data()
{
    QTest::addColumn<QString>("theme");
    QTest::newRow("light") << "light";
    QTest::newRow("dark") << "dark";
}

// Each theme's background under the graph and the side column, and its text on it: never dark on dark.
void TestAveragePanel::themes()
{
    QFETCH(QString, theme);
    StyleHelper* style = StyleHelper::Instance();
    style->addStyleFile(QStringLiteral(":/themes/nt.theme.css"));
    style->addThemeFile(QStringLiteral(":/themes/light.css"), QStringLiteral("light"));
    style->addThemeFile(QStringLiteral(":/themes/dark.css"), QStringLiteral("dark"));
    style->selectTheme(theme);
    const bool dark = theme == QLatin1String("dark");

    AverageGraph graph;
    graph.resize(400, 260);
    auto responses = std::make_shared<std::vector<EpochAverage::Response>>();
    responses->push_back(response(QStringLiteral("F1"), { 1 }));
    graph.setCurves({ responses, { AverageGraph::conditionColor(0) }, 0, QStringLiteral("A1"), -5, 0 });
    const QImage picture = image(&graph);
    const double background = luminance(picture.pixelColor(2, picture.height() / 2));
    QVERIFY(dark ? background < 0.3 : background > 0.7);
    // The value labels left of the plot stand out from the background.
    int contrasting = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < 30; ++x)
            contrasting += std::abs(luminance(picture.pixelColor(x, y)) - background) > 0.5 ? 1 : 0;
    }
    QVERIFY2(contrasting > 20, qPrintable(QString::number(contrasting)));

    RecordsSettings settings(QDir(m_home->path()).filePath(QStringLiteral("themes.xml")));
    AveragePanel panel(&settings);
    panel.resize(1000, 700);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* side = panel.findChild<QWidget*>(QStringLiteral("averageSide"));
    QVERIFY(side);
    const QImage column = side->grab().toImage();
    const double sideBackground = luminance(column.pixelColor(column.width() - 3, column.height() - 3));
    QVERIFY2(dark ? sideBackground < 0.3 : sideBackground > 0.7, qPrintable(QString::number(sideBackground)));
    style->selectTheme(QStringLiteral("light"));
}

QTEST_MAIN(TestAveragePanel)
#include "tst_averagepanel.moc"
