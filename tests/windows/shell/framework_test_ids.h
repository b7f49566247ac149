#pragma once

#define IDD_TEST_DIALOG 200
#define IDC_TWO_STATE 1003
#define IDC_THREE_STATE 1006
