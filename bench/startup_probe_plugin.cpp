// A Qt plug-in that bench_gui loads into vextune (QT_QPA_GENERIC_PLUGINS) to
// time its start-up from outside: once the first dialog has been painted it
// prints "first dialog shown" and closes that dialog, which ends the program.
// The program itself knows nothing about it.

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGenericPlugin>
#include <QTimer>
#include <iostream>

namespace {

class FirstPaintProbe final : public QObject {
 public:
  explicit FirstPaintProbe(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (!seen_ && event->type() == QEvent::Paint && dialog != nullptr && dialog->isWindow()) {
      seen_ = true;
      // Once this paint is done.
      QTimer::singleShot(0, dialog, [dialog] {
        std::cout << "first dialog shown" << std::endl;
        dialog->reject();
      });
    }
    return false;
  }

 private:
  bool seen_ = false;
};

}  // namespace

class StartupProbePlugin final : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startup_probe_plugin.json")

 public:
  QObject* create(const QString&, const QString&) override {
    return new FirstPaintProbe(QCoreApplication::instance());
  }
};

#include "startup_probe_plugin.moc"
