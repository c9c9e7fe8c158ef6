// The list box and its entries live together in ListBox.h.
#pragma once

#include "toolkit/widget/ListBox.h"
