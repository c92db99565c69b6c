#include "gui/shell/handoff_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "core/shell/handoff_message.h"
#include "core/shell/peer_credentials.h"

namespace lq::gui {

namespace {

// A sender writes its 273 bytes at once; one that dawdles longer is not a sender of ours.
constexpr int kMessageTimeoutMs = 5000;
// Connections that may be in progress at once; more are refused at the door.
constexpr int kMaxOpenConnections = 8;

}  // namespace

HandoffServer::HandoffServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &HandoffServer::take_connection);
}

HandoffServer::~HandoffServer() {
  close();
}

bool HandoffServer::listen(const std::string& path) {
  const QString name = QString::fromLocal8Bit(path);
  if (server_->isListening()) server_->close();
  if (server_->listen(name)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

void HandoffServer::close() {
  server_->close();
}

bool HandoffServer::listening() const {
  return server_->isListening();
}

void HandoffServer::take_connection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (open_connections_ >= kMaxOpenConnections ||
        !peer_is_same_user(static_cast<int>(socket->socketDescriptor()))) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    ++open_connections_;
    connect(socket, &QObject::destroyed, this, [this] { --open_connections_; });
    // Qt stops taking bytes from the system here, so one byte too many shows an oversized
    // message without ever holding more.
    socket->setReadBufferSize(static_cast<qint64>(kHandoffMessageSize) + 1);
    auto* timer = new QTimer(socket);
    timer->setObjectName("lq_deadline");
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, socket, [socket] {
      socket->abort();
      socket->deleteLater();
    });
    timer->start(kMessageTimeoutMs);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read_from(socket); });
    read_from(socket);  // bytes may already be waiting
  }
}

void HandoffServer::read_from(QLocalSocket* socket) {
  const QByteArray got = socket->peek(socket->bytesAvailable());
  const std::string_view bytes(got.constData(), static_cast<size_t>(got.size()));
  if (!handoff_prefix_ok(bytes)) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  if (bytes.size() < kHandoffMessageSize) return;
  const std::optional<std::string> path = decode_handoff(bytes);
  if (!path) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  // One message per connection; whatever the slots do (a message box runs its own event
  // loop), this socket takes nothing more and its deadline no longer applies.
  socket->readAll();
  disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
  if (auto* timer = socket->findChild<QTimer*>("lq_deadline")) timer->stop();
  QPointer<QLocalSocket> alive(socket);
  emit pathReceived(QByteArray::fromStdString(*path));
  if (!alive) return;
  alive->write(&kHandoffAck, 1);
  alive->flush();
  alive->disconnectFromServer();
}

}  // namespace lq::gui
