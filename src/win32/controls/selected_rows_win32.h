// The rows that Compile, Export and Send act on: the selected rows of the list view, in list
// order.
#pragma once

#include <vector>

namespace vosko {

std::vector<int> SelectedRows();

}  // namespace vosko
