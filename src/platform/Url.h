// Opening a URL with the system's default handler. Returns nothing: the
// caller neither waits for nor learns the outcome.
#pragma once

#include <string>

class IUrlOpener {
 public:
  virtual ~IUrlOpener() = default;
  virtual void ShowURL(const std::string& url) = 0;
};

IUrlOpener& RuntimeUrlOpener();
void RuntimeSetUrlOpener(IUrlOpener* service);  // nullptr: the desktop's again

void GlobalShowURL(const std::string& url);
