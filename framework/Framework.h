// The framework in one include: the window-free base, windows, the
// application and its threads, dialogs, controls, menus and the test seam.
#pragma once

#include "framework/Exception.h"
#include "framework/Str.h"
#include "framework/FileException.h"
#include "framework/File.h"
#include "framework/MemFile.h"
#include "framework/FileFind.h"
#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Module.h"
#include "framework/Geometry.h"
#include "framework/Gdi.h"
#include "framework/Dc.h"
#include "framework/Object.h"
#include "framework/Wnd.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"
#include "framework/ModalAnswerer.h"
#include "framework/OleDataSource.h"
#include "framework/OleDropSource.h"
#include "framework/OleDataObject.h"
