#pragma once

#include <string>
#include <vector>

#include "platform/registry/Key.h"

// The program's class keys in the settings store: the icon entry that desktop integration reads.
void RegisterAppKeys(const registry::Key& root, const std::string& programPath);
void UnregisterAppKeys(const registry::Key& root);

// Any option ("-" or "/" followed by a word) that is a prefix of "unregister", in any case,
// removes the class keys; otherwise they are written.
bool WantsUnregister(const std::vector<std::string>& arguments);
