// Event handlers: a delegate pairs an object with one of its methods and the
// parameter-list text of the event it is meant for ("( PushButton )").
// Binding checks both the text and the C++ signature against the event.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <utility>

struct Delegate {
  std::string params;
  std::type_index type = typeid(void);
  std::shared_ptr<void> fn;  // a std::function of the signature named by type
};

template <class R, class... Args>
using HandlerFn = std::function<R(Args...)>;

template <class W, class R, class... Args>
Delegate RuntimeCreateDelegate(W* target, R (W::*method)(Args...), std::string params) {
  auto fn = std::make_shared<HandlerFn<R, Args...>>(
      [target, method](Args... args) -> R { return (target->*method)(std::forward<Args>(args)...); });
  return Delegate{std::move(params), typeid(HandlerFn<R, Args...>), std::move(fn)};
}

// Compares two parameter-list texts, ignoring how many blanks stand where.
bool RuntimeSameParamList(const std::string& a, const std::string& b);

// Runs a piece of the system's code on behalf of the platform. An exception
// that escapes it gets the platform's default handling: it is reported on
// standard error and in a message box, and the program ends with status 1.
void RuntimeGuard(const std::function<void()>& body);
void RuntimeReportUnhandledException(const std::string& what);
