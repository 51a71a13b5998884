// Command targets, message maps and command-update objects.
//
// Every object that takes commands or window messages derives from CCmdTarget and
// declares a message map:
//
//   class CMyDoc : public CDocument {
//     void OnFoo();
//     void OnUpdateFoo(CCmdUI* ui);
//     LRESULT OnRefresh(WPARAM, LPARAM);
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDoc, CDocument)
//     ON_COMMAND(32801, &CMyDoc::OnFoo)
//     ON_UPDATE_COMMAND_UI(32801, &CMyDoc::OnUpdateFoo)
//     ON_REGISTERED_MESSAGE(WM_REFRESH_GPS, &CMyDoc::OnRefresh)
//   END_MESSAGE_MAP()
//
// A map is searched first, then the base class's map. Registered messages are named by
// the variable that holds their number, which is read when a message arrives (so the map
// may be built before the number is registered).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"
#include "platform/window_messages.h"

class CCmdTarget;
class CCmdUI;

// Codes of CCmdTarget::OnCmdMsg.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;
// Asks whether some target along the route has a command handler, without running it.
constexpr int CN_COMMAND_QUERY = -2;

// Command ids the framework itself knows.
constexpr UINT ID_FILE_NEW = 0xE100;
constexpr UINT ID_FILE_OPEN = 0xE101;
constexpr UINT ID_FILE_SAVE = 0xE103;
constexpr UINT ID_FILE_SAVE_AS = 0xE104;
constexpr UINT ID_APP_ABOUT = 0xE140;  // 57664
constexpr UINT ID_APP_EXIT = 0xE141;   // 57665

namespace platform {

using MessageHandler = std::function<LRESULT(CCmdTarget*, UINT id, CCmdUI*, WPARAM, LPARAM)>;

struct MessageMapEntry {
  enum class Kind { Command, UpdateCommandUi, Message };
  Kind kind;
  UINT first = 0;  // command id range, or the message number
  UINT last = 0;
  const UINT* registered = nullptr;  // registered message: its number is read at dispatch
  MessageHandler handler;

  bool MatchesMessage(UINT message) const {
    return kind == Kind::Message && (registered ? *registered : first) == message;
  }
  bool MatchesCommand(Kind k, UINT id) const { return kind == k && id >= first && id <= last; }
};

struct MessageMap {
  const MessageMap* (*base)();  // nullptr at the root
  std::vector<MessageMapEntry> entries;
};

namespace detail {

template <class T>
MessageMapEntry Command(UINT first, UINT last, void (T::*fn)()) {
  return {MessageMapEntry::Kind::Command, first, last, nullptr,
          [fn](CCmdTarget* t, UINT, CCmdUI*, WPARAM, LPARAM) -> LRESULT {
            (static_cast<T*>(t)->*fn)();
            return 1;
          }};
}

template <class T>
MessageMapEntry Command(UINT first, UINT last, void (T::*fn)(UINT)) {
  return {MessageMapEntry::Kind::Command, first, last, nullptr,
          [fn](CCmdTarget* t, UINT id, CCmdUI*, WPARAM, LPARAM) -> LRESULT {
            (static_cast<T*>(t)->*fn)(id);
            return 1;
          }};
}

template <class T>
MessageMapEntry Update(UINT first, UINT last, void (T::*fn)(CCmdUI*)) {
  return {MessageMapEntry::Kind::UpdateCommandUi, first, last, nullptr,
          [fn](CCmdTarget* t, UINT, CCmdUI* ui, WPARAM, LPARAM) -> LRESULT {
            (static_cast<T*>(t)->*fn)(ui);
            return 1;
          }};
}

template <class T, class F>
MessageMapEntry Message(UINT message, const UINT* registered, F call) {
  return {MessageMapEntry::Kind::Message, message, message, registered,
          [call](CCmdTarget* t, UINT, CCmdUI*, WPARAM w, LPARAM l) -> LRESULT {
            return call(static_cast<T*>(t), w, l);
          }};
}

template <class T>
MessageMapEntry Message(UINT message, const UINT* registered, LRESULT (T::*fn)(WPARAM, LPARAM)) {
  return Message<T>(message, registered,
                    [fn](T* t, WPARAM w, LPARAM l) { return (t->*fn)(w, l); });
}

}  // namespace detail
}  // namespace platform

#define DECLARE_MESSAGE_MAP()                                       \
 public:                                                            \
  const ::platform::MessageMap* GetMessageMap() const override;     \
  static const ::platform::MessageMap* GetThisMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
  const ::platform::MessageMap* theClass::GetMessageMap() const {                       \
    return GetThisMessageMap();                                                         \
  }                                                                                     \
  const ::platform::MessageMap* theClass::GetThisMessageMap() {                         \
    using ThisClass = theClass;                                                         \
    static const ::platform::MessageMap map{&baseClass::GetThisMessageMap, {
#define END_MESSAGE_MAP() \
  }};                     \
  return &map;            \
  }

#define ON_COMMAND(id, memberFxn) ::platform::detail::Command<ThisClass>(id, id, memberFxn),
#define ON_COMMAND_RANGE(first, last, memberFxn) \
  ::platform::detail::Command<ThisClass>(first, last, memberFxn),
#define ON_UPDATE_COMMAND_UI(id, memberFxn) ::platform::detail::Update<ThisClass>(id, id, memberFxn),
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, memberFxn) \
  ::platform::detail::Update<ThisClass>(first, last, memberFxn),
#define ON_MESSAGE(message, memberFxn) \
  ::platform::detail::Message<ThisClass>(message, nullptr, memberFxn),
#define ON_REGISTERED_MESSAGE(messageVariable, memberFxn) \
  ::platform::detail::Message<ThisClass>(0, &(messageVariable), memberFxn),
#define ON_WM_TIMER()                                                            \
  ::platform::detail::Message<ThisClass>(WM_TIMER, nullptr,                     \
                                         [](ThisClass* t, WPARAM w, LPARAM) {   \
                                           t->OnTimer(static_cast<UINT_PTR>(w)); \
                                           return LRESULT{0};                    \
                                         }),
#define ON_WM_SIZE()                                                                       \
  ::platform::detail::Message<ThisClass>(                                                 \
      WM_SIZE, nullptr, [](ThisClass* t, WPARAM w, LPARAM l) {                            \
        t->OnSize(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),           \
                  HIWORD(static_cast<std::uintptr_t>(l)));                                \
        return LRESULT{0};                                                                \
      }),
#define ON_WM_CLOSE()                                                                    \
  ::platform::detail::Message<ThisClass>(WM_CLOSE, nullptr, [](ThisClass* t, WPARAM, LPARAM) { \
    t->OnClose();                                                                        \
    return LRESULT{0};                                                                   \
  }),
#define ON_WM_DESTROY()                                                                    \
  ::platform::detail::Message<ThisClass>(WM_DESTROY, nullptr, [](ThisClass* t, WPARAM, LPARAM) { \
    t->OnDestroy();                                                                        \
    return LRESULT{0};                                                                     \
  }),

// The state an update handler gives a command's menu item, button or control.
// The windowed layer applies what was set; an unset field leaves the item as it is.
class CCmdUI {
 public:
  explicit CCmdUI(UINT id = 0) : m_nID(id) {}
  virtual ~CCmdUI() = default;

  virtual void Enable(BOOL on = TRUE) { enabled = on != FALSE; }
  // 0 unchecked, 1 checked, 2 indeterminate.
  virtual void SetCheck(int check = 1) { checked = check; }
  virtual void SetRadio(BOOL on = TRUE) { checked = on ? 1 : 0; }
  virtual void SetText(const std::string& newText) { text = newText; }

  // Routes the update through target (CN_UPDATE_COMMAND_UI). When no update handler
  // answers and disableIfNoHandler is set, the item is enabled exactly when some target
  // along the route would take the command. Returns whether an update handler answered.
  BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

  UINT m_nID;
  std::optional<bool> enabled;
  std::optional<int> checked;
  std::optional<std::string> text;
};

class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Handles a command (CN_COMMAND), an update request (CN_UPDATE_COMMAND_UI, extra is the
  // CCmdUI*) or a query (CN_COMMAND_QUERY) from this object's own map. Frames, views and
  // documents override it to pass the command along their route.
  virtual BOOL OnCmdMsg(UINT id, int code, void* extra);
  // Window messages: entries of the map; WM_COMMAND goes to OnCommand.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  virtual const ::platform::MessageMap* GetMessageMap() const;
  static const ::platform::MessageMap* GetThisMessageMap();

 protected:
  // WM_COMMAND: the command id is the low word of wParam.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // What a message without a map entry gets.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Looks a message up in the map chain; false when no entry takes it.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
};
