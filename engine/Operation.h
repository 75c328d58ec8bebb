// What the settings record's requestedOperation and runningOperation hold.
#pragma once

enum class Operation : int
{
    None = 0,
    Search = 1,
    Delete = 2,
};
