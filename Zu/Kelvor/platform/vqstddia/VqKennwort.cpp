// The password prompt library; its export is VqKennwort.
