#pragma once

// State of one radio-test poll as an address row records it.
enum TestRequestStatus {
    Sent = 0, // the poll request has just been sent, its answer is pending
};
