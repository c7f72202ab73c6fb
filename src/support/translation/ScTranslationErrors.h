#pragma once
// The failures of the translation layer.

#include "platform/rtl/Exceptions.h"

RTL_DECLARE_EXCEPTION(ETranslator, Exception);
RTL_DECLARE_EXCEPTION(ETrProgrammingError, ETranslator);
RTL_DECLARE_EXCEPTION(ETrComponentError, ETranslator);
RTL_DECLARE_EXCEPTION(ETrIOError, ETranslator);
RTL_DECLARE_EXCEPTION(ETrAnsi2WideConvError, ETranslator);
