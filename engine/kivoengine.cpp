// The engine's exports. Until the conversion engine lands, everything but MyDll_Init refuses
// and posts nothing.
#include "kivoengine.h"

extern "C" {

int MyDll_Init(void) { return 0; }
int Mydll_GetFileinfo(const char*, EngineFileInfo*) { return -1; }
int Mydll_GetPicure(const char*, int, const char*, const char*) { return -1; }
int Mydll_Stop(void) { return 0; }
int SetGetInfoCallBackFun(KivoInfoCallback) { return 0; }
int SetGetPercentCallBackFun(KivoPercentCallback) { return 0; }
int _X(KivoWindow*, int, char**) { return -1; }
}
