#include "platform/desktop_awake.h"

#include <cstdlib>
#include <filesystem>

#ifdef TVX_HAVE_GIO
#include <gio/gio.h>
#endif

namespace platform {

#ifdef TVX_HAVE_GIO

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
// The screen-saver service's usual object path, and the one older desktops serve it under.
constexpr const char* kPaths[] = {"/org/freedesktop/ScreenSaver", "/ScreenSaver"};
constexpr int kCallTimeoutMs = 2000;

// The session bus as the desktop announces it; no bus is started for the program.
std::string SessionBusAddress() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
    return address;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    const std::string socket = std::string(runtime) + "/bus";
    std::error_code error;
    if (std::filesystem::exists(socket, error)) return "unix:path=" + socket;
  }
  return {};
}

}  // namespace

struct DesktopAwake::Session {
  GDBusConnection* connection = nullptr;
  const char* path = nullptr;  // where the inhibition was granted
  std::uint32_t cookie = 0;

  ~Session() {
    if (connection) {
      g_dbus_connection_close_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
  }
};

DesktopAwake::DesktopAwake() = default;
DesktopAwake::~DesktopAwake() { Release(); }

bool DesktopAwake::Held() const { return session_ != nullptr; }

bool DesktopAwake::Hold(const std::string& application, const std::string& reason) {
  if (session_) return true;
  const std::string address = SessionBusAddress();
  if (address.empty()) return false;
  auto session = std::make_unique<Session>();
  // A connection of its own: closing it ends whatever it was granted.
  session->connection = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  if (!session->connection) return false;
  for (const char* path : kPaths) {
    GVariant* reply = g_dbus_connection_call_sync(
        session->connection, kService, path, kInterface, "Inhibit",
        g_variant_new("(ss)", application.c_str(), reason.c_str()), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
    if (!reply) continue;
    g_variant_get(reply, "(u)", &session->cookie);
    g_variant_unref(reply);
    session->path = path;
    session_ = std::move(session);
    return true;
  }
  return false;
}

void DesktopAwake::Release() {
  if (!session_) return;
  GVariant* reply = g_dbus_connection_call_sync(
      session_->connection, kService, session_->path, kInterface, "UnInhibit",
      g_variant_new("(u)", session_->cookie), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
      kCallTimeoutMs, nullptr, nullptr);
  if (reply) g_variant_unref(reply);
  session_.reset();  // closing the connection ends the inhibition even if the call failed
}

#else  // built without GIO: the desktop's own settings apply

struct DesktopAwake::Session {};
DesktopAwake::DesktopAwake() = default;
DesktopAwake::~DesktopAwake() = default;
bool DesktopAwake::Held() const { return false; }
bool DesktopAwake::Hold(const std::string&, const std::string&) { return false; }
void DesktopAwake::Release() {}

#endif

}  // namespace platform
