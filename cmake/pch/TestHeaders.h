// What nearly every test file includes besides the code it tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
