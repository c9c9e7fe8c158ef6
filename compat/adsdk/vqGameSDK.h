// The advertising SDK the game starts at load time. On this platform no advertiser supplies one, so
// this library answers every query honestly: there is no advertisement, nothing was unpacked.
#pragma once

extern "C" {
int vqGameSDK_Init(int product, int a, int b, int timeoutSeconds, int c, int d, int e);
// Fills `path` (256 bytes) with the advertisement's file and `handle` with the SDK's handle; a result
// above 0 means a path was given.
int vqGameSDK_QueryAdEx(int index, int* handle, char* path, int a, int b);
int vqGameSDK_SetFocus(int handle, int focus, int mode);
// 1 when the archive was unpacked into the directory.
int vqGameSDK_Unzip(const char* archivePath, const char* targetDirectory);
}
