// A file manager's drag in a window of its own, for tests on a real display: pressing the mouse
// in the window drags the files named on the command line (as file:// addresses) to wherever
// the pointer is released.
//   qor_drag_source <file or folder> [...]
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("Drag source"));
        resize(160, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i)
        urls.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
    DragSource source(urls);
    source.move(20, 20);
    source.show();
    return app.exec();
}
