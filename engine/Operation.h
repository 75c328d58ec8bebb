// What the search page's requestedOperation and the progress window's runningOperation hold.
#pragma once

enum class Operation : int
{
    None = 0,
    Search = 1,
    Delete = 2,
};
