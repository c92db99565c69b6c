// The receiving half of the hand-off: while single-window mode is on, the main window
// listens on its socket in the private runtime directory and takes one path from each
// later start. Only the same user may connect; anything that is not one well-formed
// message within a few seconds is dropped without an answer.
#pragma once

#include <QByteArray>
#include <QObject>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace lq::gui {

class HandoffServer : public QObject {
  Q_OBJECT

 public:
  explicit HandoffServer(QObject* parent = nullptr);
  ~HandoffServer() override;

  // Listens at path, replacing a socket file left by a process that had the same id.
  bool listen(const std::string& path);
  // Stops listening and removes the socket file.
  void close();
  bool listening() const;

 signals:
  // A path arrived (file-system bytes, possibly empty). Answered once the slots return.
  void pathReceived(const QByteArray& path);

 private:
  void take_connection();
  void read_from(QLocalSocket* socket);

  QLocalServer* server_;
  int open_connections_ = 0;
};

}  // namespace lq::gui
