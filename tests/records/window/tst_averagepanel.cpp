#include "ActivationMap.h"
#include "AverageExport.h"
#include "AverageGraph.h"
#include "AveragePanel.h"
#include "AverageTable.h"
#include "AverageView.h"
#include "DataRow.h"
#include "HeadModel.h"
#include "RecordLayout.h"
#include "RecordWriter.h"
#include "RecordsSettings.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

namespace {

constexpr double Rate = 10;

// A response of 251 samples from −5 s whose channel c has HbO = oxy[c] · shape(t) and HbR = −oxy[c] / 3 · shape(t),
// shape a plateau of 1 from 5 to 15 s; the standard error a tenth of |HbO| + 0.01.
EpochAverage::Response response(const QString& condition, const std::vector<double>& oxy, int marks = 12)
{
    EpochAverage::Response r;
    r.condition = condition;
    r.rate = Rate;
    r.firstOffset = -50;
    r.marks = marks;
    r.records = marks > 0 ? 1 : 0;
    if (marks == 0)
        r.problem = condition + ": no mark of this condition";
    for (const double peak : marks > 0 ? oxy : std::vector<double>()) {
        for (const double scale : { peak, -peak / 3 }) {
            std::vector<double> mean(251);
            std::vector<double> error(251);
            for (std::size_t i = 0; i < mean.size(); ++i) {
                mean[i] = r.time(i) >= 5 && r.time(i) <= 15 ? scale : 0;
                error[i] = 0.1 * std::abs(mean[i]) + 0.01;
            }
            r.mean.push_back(mean);
            r.standardError.push_back(error);
        }
    }
    return r;
}

// The responses drawn on a graph of w × h pixels, each condition in its colour.
QImage drawn(AverageGraph& graph, const std::vector<EpochAverage::Response>& responses, int w, int h)
{
    std::vector<QColor> colors;
    for (std::size_t c = 0; c < responses.size(); ++c)
        colors.push_back(AverageGraph::conditionColor(int(c)));
    graph.resize(w, h);
    graph.setCurves({ std::make_shared<std::vector<EpochAverage::Response>>(responses), colors, 0, "A1", -5, 0 });
    QImage picture(graph.size(), QImage::Format_RGB32);
    graph.render(&picture);
    return picture;
}

QImage image(QWidget* widget)
{
    QImage picture(widget->size(), QImage::Format_RGB32);
    widget->render(&picture);
    return picture;
}

double luminance(const QColor& color)
{
    return 0.299 * color.redF() + 0.587 * color.greenF() + 0.114 * color.blueF();
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
    layout.montageText = "1=A1;2=A2;3=A3;4=A4\n5=B1;6=B2;7=B3;8=B4";
    RecordWriter writer;
    const QString path = QDir(folder).filePath(name + ".csv");
    if (!writer.open(path, layout))
        return QString();
    std::vector<double> values(size_t(2 * settings.channels));
    for (int k = 0; k < int(600 * Rate); ++k) {
        const qint64 elapsed = qint64(std::llround(head.time() * 1000));
        if (k > 0 && k % int(20 * Rate) == 0 && head.time() < 580) {
            head.stimulate(head.time());
            writer.writeEvent(elapsed, "key", condition);
        }
        if (k == int(Rate))
            writer.writeEvent(elapsed, "key", "F2");
        head.next(values.data(), 2);
        if (writer.writeRaw(elapsed, QList<double>(values.cbegin(), values.cend())) != RecordWriter::Result::Written)
            return QString();
    }
    writer.close();
    return path;
}

} // namespace

class TestAveragePanel : public QObject
{
    Q_OBJECT
    TemporaryHome m_home;
    QString m_recordA;
    QString m_recordB;

private slots:
    void initTestCase()
    {
        QDir().mkpath(m_home.dataFolder());
        m_recordA = writeHeadRecord(m_home.dataFolder(), "a", 1);
        m_recordB = writeHeadRecord(m_home.dataFolder(), "b", 2);
        QVERIFY(!m_recordA.isEmpty() && !m_recordB.isEmpty());
    }

    void curvePaths_data()
    {
        addColumns<QList<double>, int>({ "values", "pieces" });
        const double nan = std::nan("");
        addRow("whole", QList<double> { 0, 1, 2, 1 }, 1);
        addRow("broken by a gap", QList<double> { 0, 1, nan, nan, 2, 1 }, 2);
        addRow("starts in a gap", QList<double> { nan, 1, 2 }, 1);
        addRow("all missing", QList<double> { nan, nan }, 0);
    }
    // The curve passes through every sample at its time and value, and leaves out the missing ones; the band
    // reaches the standard error above and below it.
    void curvePaths()
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
            QCOMPARE(QPointF(element), frame.map(r.time(size_t(i)), values[i]));
        }
        QCOMPARE(point, path.elementCount());
        QCOMPARE(starts, pieces);
        if (pieces > 0 && std::count_if(values.cbegin(), values.cend(), [](double v) { return !std::isnan(v); }) > 1)
            QVERIFY(AverageGraph::bandPath(r, 0, frame).boundingRect().height() > path.boundingRect().height());
    }

    // Two conditions on one graph: each in its colour, the rising one above the falling one; a condition without
    // marks says so instead of a curve.
    void graphDrawsConditions()
    {
        AverageGraph graph;
        const QImage picture = drawn(
            graph, { response("F1", { 1, 0 }), response("F2", { -1, 0 }), response("F3", { 0, 0 }, 0) }, 500, 300);
        QVERIFY(graph.messages().join(' ').contains("F3: no mark"));
        double sum[2] = { 0, 0 };
        int count[2] = { 0, 0 };
        // The right half holds the curves from about 7 s on, no legend.
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = picture.width() / 2; x < picture.width(); ++x) {
                for (int c = 0; c < 2; ++c) {
                    const QColor a = picture.pixelColor(x, y);
                    const QColor b = AverageGraph::conditionColor(c);
                    if (std::max({ std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                            std::abs(a.blue() - b.blue()) })
                        <= 12) {
                        sum[c] += y;
                        ++count[c];
                    }
                }
            }
        }
        QVERIFY2(count[0] > 50 && count[1] > 50, qPrintable(QString("%1 %2").arg(count[0]).arg(count[1])));
        QVERIFY(sum[0] / count[0] < sum[1] / count[1]);
    }

    // A cell of the map takes the colour of its value: warm for a rise, cold for a fall, neutral for none.
    void mapColours_data()
    {
        addColumns<double, int>({ "value", "warmth" }); // 1 warm, −1 cold, 0 neutral
        addRow("rise", 1.0, 1);
        addRow("half a rise", 0.5, 1);
        addRow("no change", 0.0, 0);
        addRow("fall", -0.8, -1);
        addRow("no value", std::nan(""), 0);
    }
    void mapColours()
    {
        QFETCH(double, value);
        QFETCH(int, warmth);
        ActivationMap map;
        map.resize(400, 260);
        map.setCells(ActivationMap::arrange({ 1, 2 }, { "X", "Y" }, {}));
        // The other channel's −1 sets the scale to ±1.
        map.setValues({ value, -1.0 }, "F1", { "tip", QString() });
        QCOMPARE(map.limit(), 1.0);
        const QColor color = image(&map).pixelColor(map.cellRect(0, map.size()).toRect().topLeft() + QPoint(8, 8));
        const int red = color.red() - color.blue();
        QVERIFY2(warmth != 0 ? red * warmth > 60 : std::abs(red) < 20 && std::abs(color.green() - color.red()) < 20,
            qPrintable(color.name()));
    }

    // Every number of the CSV is the response's, in the command line's columns; a condition without marks has no line.
    void csvExport_data()
    {
        addColumns<int, QString, QString>({ "records", "condition", "field" });
        addRow("one record: n is the marks", 1, "F1", "F1");
        addRow("grand average: n is the records", 3, "F1", "F1");
        addRow("a separator in the text is quoted", 1, "a;\"b\"", "\"a;\"\"b\"\"\"");
    }
    void csvExport()
    {
        QFETCH(int, records);
        QFETCH(QString, condition);
        QFETCH(QString, field);
        std::vector<EpochAverage::Response> responses { response(condition, { 0.123456789, -2.5 }, 17),
            response("none", {}, 0) };
        responses[0].records = records;
        responses[0].standardError[3][7] = std::nan("");
        const QList<QByteArray> lines = AverageTable::curves(responses, { 3, 9 }).split('\n');
        QCOMPARE(lines.first(), QByteArray("condition;time_s;n;HbO3;HbO3_se;HbR3;HbR3_se;HbO9;HbO9_se;HbR9;HbR9_se"));
        const EpochAverage::Response& r = responses[0];
        QCOMPARE(lines.size(), int(r.mean[0].size()) + 2);
        QCOMPARE(lines.last(), QByteArray());
        // Nine significant digits, as %.9g writes them.
        const auto same = [](const QString& text, double value) {
            bool ok = false;
            return std::abs(text.toDouble(&ok) - value) <= 1e-8 * std::abs(value) && ok;
        };
        for (std::size_t i = 0; i < r.mean[0].size(); ++i) {
            const QString text = QString::fromUtf8(lines[qsizetype(i) + 1]);
            QVERIFY2(text.startsWith(field + ';'), qPrintable(text));
            const QStringList fields = text.mid(field.size() + 1).split(';');
            QCOMPARE(fields.size(), 2 + 4 * 2);
            QCOMPARE(fields[0].toDouble(), r.time(i));
            QCOMPARE(fields[1].toInt(), records > 1 ? records : 17);
            for (std::size_t s = 0; s < 4; ++s) {
                QVERIFY(same(fields[int(2 + 2 * s)], r.mean[s][i]));
                if (s == 3 && i == 7)
                    QCOMPARE(fields[int(3 + 2 * s)], "nan");
                else
                    QVERIFY(same(fields[int(3 + 2 * s)], r.standardError[s][i]));
            }
        }
    }

    // The view as SVG: well-formed XML whose paths draw each chosen condition's curves in its colour; as PNG a
    // picture of the view.
    void svgExport()
    {
        AverageView view;
        view.resize(900, 700);
        AverageView::Selection selection;
        selection.conditions = QStringList { "F1", "F2" };
        selection.channels = { 0, 1 };
        selection.mapCondition = "F1";
        view.show({ response("F1", { 1, 0 }), response("F2", { -1, 0.5 }) }, selection.conditions,
            { { 1, "A1" }, { 2, "A2" } }, {}, selection);
        QCOMPARE(view.graphs().size(), 2);
        QVERIFY(!view.map()->isHidden());
        const QString svg = QDir(m_home.path()).filePath("view.svg");
        QString error;
        QVERIFY2(AverageExport::writeSvg(&view, svg, "Averages", &error), qPrintable(error));
        QFile file(svg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        // The pen of a path is on the group around it.
        QMap<QString, int> strokes;
        QStringList groups { QString() };
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            const QString stroke = xml.attributes().value("stroke").toString().toLower();
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

        const QString png = QDir(m_home.path()).filePath("view.png");
        QVERIFY2(AverageExport::writePng(&view, png, &error), qPrintable(error));
        QCOMPARE(QImage(png).size(), view.size() * 2);
        QVERIFY(!AverageExport::writePng(&view, "/nonexistent/folder/view.png", &error));
        QVERIFY(error.contains("/nonexistent/folder/view.png"));
    }

    // On the virtual head the map shows the stimulated half warm and the other neutral; a condition whose only mark
    // lies before any window fits gets a message, not a curve.
    void headRecord()
    {
        RecordsSettings settings(QDir(m_home.path()).filePath("head.xml"));
        AveragePanel panel(&settings);
        QSignalSpy done(&panel, &AveragePanel::averaged);
        panel.setRecords({ m_recordA });
        QVERIFY(done.wait(20000));
        QCOMPARE(panel.conditions(), QStringList({ "F2", "F1" }));
        panel.setChosenConditions({ "F1" });
        AverageView* view = panel.view();
        QCOMPARE(view->graphs().size(), 8);
        ActivationMap* map = view->map();
        QCOMPARE(map->cells().size(), 8);
        panel.resize(1200, 900);
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
        QVERIFY(view->graphs().first()->messages().join(' ').contains("F2"));
    }

    // A changed setting starts a new average (once, after the changes settle); settings that give none say why.
    void settingsRecompute_data()
    {
        addColumns<QByteArray, double, int>({ "name", "value", "samples" }); // samples 0: the settings give none
        addRow("shorter window", QByteArray("AverageTo"), 10.0, 151);
        addRow("earlier start", QByteArray("AverageFrom"), -8.0, 281);
        addRow("window ends before it starts", QByteArray("AverageTo"), -6.0, 0);
        addRow("band above the Nyquist frequency", QByteArray("AverageBandHigh"), 8.0, 0);
    }
    void settingsRecompute()
    {
        QFETCH(QByteArray, name);
        QFETCH(double, value);
        QFETCH(int, samples);
        RecordsSettings settings(QDir(m_home.path()).filePath("recompute.xml"));
        settings.setAverageBand(name.startsWith("AverageBand"));
        AveragePanel panel(&settings);
        QSignalSpy done(&panel, &AveragePanel::averaged);
        panel.setRecords({ m_recordA });
        QVERIFY(done.wait(20000));
        panel.setChosenConditions({ "F1" });
        QCOMPARE(panel.view()->shown().front().mean.front().size(), size_t(251));
        QVERIFY(settings.setProperty(name.constData(), value));
        QVERIFY(panel.isBusy());
        QVERIFY(done.wait(20000));
        QCOMPARE(done.size(), 2);
        QCOMPARE(panel.view()->graphs().isEmpty(), samples == 0);
        QCOMPARE(panel.view()->message().isEmpty(), samples > 0);
        if (samples > 0)
            QCOMPARE(panel.view()->shown().front().mean.front().size(), size_t(samples));
    }

    // Records that change while an average runs replace it: only the last ones are shown; several records give the
    // grand average; a record that cannot be read is named and the others are averaged.
    void newRecordsCancel()
    {
        const QString other = writeHeadRecord(m_home.dataFolder(), "c", 3, "F5");
        RecordsSettings settings(QDir(m_home.path()).filePath("cancel.xml"));
        AveragePanel panel(&settings);
        QSignalSpy done(&panel, &AveragePanel::averaged);
        panel.setRecords({ other });
        panel.setRecords({ m_recordA, m_recordB });
        QVERIFY(done.wait(20000));
        QTRY_VERIFY(!panel.isBusy());
        QCOMPARE(done.size(), 1);
        QCOMPARE(panel.conditions(), QStringList({ "F2", "F1" }));
        const EpochAverage::Response* grand = shownResponse(panel.view(), "F1");
        QVERIFY(grand);
        QCOMPARE(grand->records, 2);
        QVERIFY(panel.status().contains('2'));

        panel.setRecords({ m_recordA, QDir(m_home.dataFolder()).filePath("missing.csv") });
        QVERIFY(done.wait(20000));
        QVERIFY2(panel.status().contains("missing.raw"), qPrintable(panel.status()));
        QCOMPARE(shownResponse(panel.view(), "F1")->records, 1);
    }

    // Each theme's background under the graph and the side column, and its text on it: never dark on dark.
    void themes_data()
    {
        addColumns<QString>({ "theme" });
        addRow("light", "light");
        addRow("dark", "dark");
    }
    void themes()
    {
        QFETCH(QString, theme);
        StyleHelper* style = StyleHelper::Instance();
        style->addStyleFile(":/themes/nt.theme.css");
        style->addThemeFile(":/themes/light.css", "light");
        style->addThemeFile(":/themes/dark.css", "dark");
        style->selectTheme(theme);
        const bool dark = theme == "dark";

        AverageGraph graph;
        const QImage picture = drawn(graph, { response("F1", { 1 }) }, 400, 260);
        const double background = luminance(picture.pixelColor(2, picture.height() / 2));
        QVERIFY(dark ? background < 0.3 : background > 0.7);
        // The value labels left of the plot stand out from the background.
        int contrasting = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < 30; ++x)
                contrasting += std::abs(luminance(picture.pixelColor(x, y)) - background) > 0.5 ? 1 : 0;
        }
        QVERIFY2(contrasting > 20, qPrintable(QString::number(contrasting)));

        RecordsSettings settings(QDir(m_home.path()).filePath("themes.xml"));
        AveragePanel panel(&settings);
        panel.resize(1000, 700);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto* side = panel.findChild<QWidget*>("averageSide");
        QVERIFY(side);
        const QImage column = side->grab().toImage();
        const double sideBackground = luminance(column.pixelColor(column.width() - 3, column.height() - 3));
        QVERIFY2(dark ? sideBackground < 0.3 : sideBackground > 0.7, qPrintable(QString::number(sideBackground)));
        style->selectTheme("light");
    }
};

QTEST_MAIN(TestAveragePanel)
#include "tst_averagepanel.moc"
