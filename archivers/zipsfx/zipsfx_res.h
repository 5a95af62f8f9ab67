// Resource ids of the ZIP self-extractor stub.
#pragma once
#define IDD_SFX_PASSWORD 101
#define IDC_SFX_PROMPT 100
#define IDC_SFX_PASSWORD 102
