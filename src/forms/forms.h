// Everything a form of this program needs from the framework.
#pragma once
#include "application.h"
#include "button.h"
#include "combobox.h"
#include "control.h"
#include "edit.h"
#include "form.h"
#include "groupbox.h"
#include "label.h"
#include "listview.h"
#include "panel.h"
#include "radiobutton.h"
