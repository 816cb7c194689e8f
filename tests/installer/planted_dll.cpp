// The DLL that the search-order test plants beside itself and in the current folder.
extern "C" __declspec(dllexport) int PlantedMarker() { return 0x504C4E54; }
