// File mode, for hosts that cannot open a socket. The host writes its
// requests, one JSON line each, to a file of another name in the command
// folder and renames it to NAME.cmd when it is whole; the monitor takes the
// file (renaming it to NAME.cmd.executando), serves its lines in order on the
// printer's thread, writes NAME.resp whole (a working file renamed into place)
// and removes the taken file. A file still without its final line break is
// left for the next look. A file taken when the monitor stopped is not run
// again: its NAME.resp says so.
#pragma once

#include <chrono>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include "atendimento.h"

namespace monitor {

class PastaComandos {
 public:
  PastaComandos(boost::asio::io_context &io, std::string pasta, std::chrono::milliseconds intervalo,
                size_t limiteLinha, Atendimento &atendimento);
  // One look at the folder: the files found whole are served, in name order.
  void Varre();

 private:
  void Agenda();
  void Executa(const std::string &nome);
  void Recupera();
  std::string Caminho(const std::string &nome) const;

  boost::asio::steady_timer relogio_;
  std::string pasta_;
  std::chrono::milliseconds intervalo_;
  size_t limiteLinha_;
  Atendimento &atendimento_;
};

}  // namespace monitor
