// Build step: renders the scalable application icon into the PNG sizes of the icon theme.
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        QTextStream(stderr) << "usage: render-icon SVG SIZE PNG\n";
        return 2;
    }
    bool ok = false;
    const int size = arguments.at(2).toInt(&ok);
    QSvgRenderer renderer(arguments.at(1));
    if (!ok || size <= 0 || !renderer.isValid()) {
        QTextStream(stderr) << "render-icon: cannot render " << arguments.at(1) << " at " << arguments.at(2) << '\n';
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(arguments.at(3), "PNG")) {
        QTextStream(stderr) << "render-icon: cannot write " << arguments.at(3) << '\n';
        return 1;
    }
    return 0;
}
