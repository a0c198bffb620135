// Table-driven tests name each row after its `name`, both in the test's own name and where
// GoogleTest prints the parameter of a failing row.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace velmora::testing {

template <typename Row>
concept NamedRow = requires(const Row& row) {
  std::string(row.name);
};

// For INSTANTIATE_TEST_SUITE_P: the test is called after its row.
struct RowName {
  template <NamedRow Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

// Found through `using testing::PrintTo;` in the namespace of the rows.
template <NamedRow Row>
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

}  // namespace velmora::testing
