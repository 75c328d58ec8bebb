// What AskChoice answers: the pressed button, from left to right Yes, YesForAll,
// Cancel, No, NoForAll; Cancel also for Escape and the close box. The values are
// the program's answer numbers.
#pragma once

enum class Choice : int
{
    None = -1, // not asked yet
    Cancel = 0,
    Yes = 1,
    YesForAll = 2,
    No = 3,
    NoForAll = 4,
};
