#pragma once
// The anchor program's dialog and its list, which the start-up timing
// program finds by these numbers.

#define IDD_ANCHOR 100
#define IDC_ANCHOR_LIST 1001
