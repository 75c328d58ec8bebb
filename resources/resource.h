// Resource and control ids of Velmora. The numbers are fixed: other programs
// and the dialog templates depend on them.
#pragma once

// Dialogs
#define IDD_ANSWER_BOX          101
#define IDD_MESSAGE_BOX         103
#define IDD_ANSWER_BOX_FULL     142

// Icons
#define IDI_VELMORA             200
#define IDI_EXCLAMATION_MARK    201
#define IDI_QUESTION_MARK       202

// Prompt controls
#define IDC_PROMPT_TEXT         151
#define IDC_CHOICE_YES_FOR_ALL  18
#define IDC_CHOICE_NO_FOR_ALL   19
#define IDC_CHOICE_NO           20
