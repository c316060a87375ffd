// Ids of the texts both programs share, in their string tables (assoctexts_*.rc, one per language).
#pragma once

#define IDS_FAILURE_HEADING 200
#define IDS_REASON_MACHINE 201
#define IDS_REASON_NOT_EXTENSION 202
#define IDS_REASON_TOO_LONG 203
#define IDS_REASON_PROGRAM_TYPE 204
#define IDS_ERROR_NUMBER 205
#define IDS_REASON_NO_DEFAULT_APP 206
#define IDS_REASON_NO_OPEN_WITH 207
#define IDS_REASON_OFFERED_NOWHERE 208
#define IDS_REASON_USER_CHOICE 209
#define IDS_REASON_HAND_EDITED 210
