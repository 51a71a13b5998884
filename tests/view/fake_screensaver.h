// A private session bus (its own dbus-daemon) with a stand-in for the desktop's screen-saver
// service on it: org.freedesktop.ScreenSaver at /org/freedesktop/ScreenSaver, whose Inhibit
// hands out cookies and whose UnInhibit takes them back. The service runs on a thread of its
// own (its own main context), so that the program's blocking calls get their answers.
#pragma once

#include <gio/gio.h>
#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace tvxtest {

// The bus: started in the constructor, ended in the destructor (by the daemon's own pid).
class PrivateSessionBus {
 public:
  PrivateSessionBus() {
    FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (!out) return;
    char line[512] = {};
    if (std::fgets(line, sizeof line, out)) address_ = Trim(line);
    if (std::fgets(line, sizeof line, out)) pid_ = std::atoi(line);
    pclose(out);
    if (pid_ <= 0) address_.clear();
  }
  ~PrivateSessionBus() {
    if (pid_ > 0) kill(pid_, SIGTERM);
  }
  const std::string& address() const { return address_; }

 private:
  static std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
  }
  std::string address_;
  int pid_ = 0;
};

class FakeScreenSaver {
 public:
  explicit FakeScreenSaver(const std::string& address) : address_(address) {
    thread_ = std::thread([this] { Run(); });
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_for(lock, std::chrono::seconds(5), [this] { return started_; });
  }
  ~FakeScreenSaver() {
    if (loop_) g_main_context_invoke(context_, [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      }, loop_);
    if (thread_.joinable()) thread_.join();
  }

  bool serving() const { return serving_; }
  int inhibits() const { return inhibits_; }
  int uninhibits() const { return uninhibits_; }
  // Cookies handed out and not taken back.
  std::size_t held() {
    std::lock_guard<std::mutex> lock(mutex_);
    return held_.size();
  }
  std::string lastApplication() {
    std::lock_guard<std::mutex> lock(mutex_);
    return application_;
  }
  std::string lastReason() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reason_;
  }

 private:
  static constexpr const char* kIntrospection =
      "<node><interface name='org.freedesktop.ScreenSaver'>"
      "<method name='Inhibit'><arg type='s' direction='in'/><arg type='s' direction='in'/>"
      "<arg type='u' direction='out'/></method>"
      "<method name='UnInhibit'><arg type='u' direction='in'/></method>"
      "</interface></node>";

  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                     const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                     gpointer self) {
    auto* fake = static_cast<FakeScreenSaver*>(self);
    if (g_strcmp0(method, "Inhibit") == 0) {
      const gchar* application = nullptr;
      const gchar* reason = nullptr;
      g_variant_get(parameters, "(&s&s)", &application, &reason);
      guint32 cookie = 0;
      {
        std::lock_guard<std::mutex> lock(fake->mutex_);
        fake->application_ = application;
        fake->reason_ = reason;
        cookie = ++fake->nextCookie_;
        fake->held_.insert(cookie);
      }
      ++fake->inhibits_;
      g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", cookie));
      return;
    }
    guint32 cookie = 0;
    g_variant_get(parameters, "(u)", &cookie);
    {
      std::lock_guard<std::mutex> lock(fake->mutex_);
      fake->held_.erase(cookie);
    }
    ++fake->uninhibits_;
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }

  void Run() {
    context_ = g_main_context_new();
    g_main_context_push_thread_default(context_);
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address_.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    if (connection && node) {
      static const GDBusInterfaceVTable vtable = {&FakeScreenSaver::OnCall, nullptr, nullptr, {}};
      g_dbus_connection_register_object(connection, "/org/freedesktop/ScreenSaver",
                                        node->interfaces[0], &vtable, this, nullptr, nullptr);
      GVariant* reply = g_dbus_connection_call_sync(
          connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
          "RequestName", g_variant_new("(su)", "org.freedesktop.ScreenSaver", 4u),
          G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
      if (reply) {
        guint32 result = 0;
        g_variant_get(reply, "(u)", &result);
        serving_ = result == 1;  // primary owner
        g_variant_unref(reply);
      }
      loop_ = g_main_loop_new(context_, FALSE);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      started_ = true;
    }
    ready_.notify_all();
    if (loop_) {
      g_main_loop_run(loop_);
      g_main_loop_unref(loop_);
    }
    if (node) g_dbus_node_info_unref(node);
    if (connection) {
      g_dbus_connection_close_sync(connection, nullptr, nullptr);
      g_object_unref(connection);
    }
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }

  std::string address_;
  std::thread thread_;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::mutex mutex_;
  std::condition_variable ready_;
  bool started_ = false;
  std::atomic<bool> serving_{false};
  std::atomic<int> inhibits_{0}, uninhibits_{0};
  guint32 nextCookie_ = 0;
  std::set<guint32> held_;
  std::string application_, reason_;
};

}  // namespace tvxtest
