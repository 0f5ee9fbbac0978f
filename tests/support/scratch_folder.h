// Folders for the files a test writes.
#pragma once

#include <string>

namespace test_support {

// An empty folder of the given name under the test framework's temporary
// folder, made anew (its earlier contents removed).
std::string FreshFolder(const std::string& name);

}  // namespace test_support
